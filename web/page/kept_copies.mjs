// SPDX-License-Identifier: MIT
// Copies of unsaved work, kept in the browser's IndexedDB so that no edit is lost when a tab is
// closed, reloaded or crashes. Each project a tab opens or starts gets an id of its own, and its
// copy is kept under that id, so tabs and pages never write over each other's work; every page
// opened from disk shares the one database. A copy is written once the page is idle after an
// edit (within a second of it) and at once when the page is hidden or closed; it is removed when
// the project is saved, or discarded for another. A tab holds a lock named after its project's
// id for as long as the project is open, so the copies whose lock nobody holds are the ones left
// behind by closed pages: those are offered back.

const DATABASE = "lenstally";
const COPIES = "copies"; // {id, name, time, parts}, one per kept project
const PARTS = "parts"; // [id, n]: the nth part of that project's file text
// Larger values are stored apart from the database, and such writes were lost when the page was
// unloaded before they finished; writes of parts this size were not.
const PART = 1 << 18;
const LOCK = "lenstally-copy:";
// An edit is kept once the page has been idle this long after it, and never later than
// LATEST after the first edit not yet kept.
const IDLE = 300;
const LATEST = 1000;

function request(r) {
    return new Promise((resolve, reject) => {
        r.onsuccess = () => resolve(r.result);
        r.onerror = () => reject(r.error);
    });
}

function done(transaction) {
    return new Promise((resolve, reject) => {
        transaction.oncomplete = () => resolve();
        transaction.onabort = transaction.onerror = () => reject(transaction.error ?? new Error("aborted"));
    });
}

function newId() {
    return crypto.randomUUID?.() ?? `${Date.now().toString(36)}-${Math.random().toString(36).slice(2)}`;
}

function partsOf(id) {
    return IDBKeyRange.bound([id, 0], [id, Infinity]);
}

// The kept copies in the shared database.
export class KeptCopies {
    constructor() {
        this.m_database = null; // once open
        this.m_opening = new Promise((resolve, reject) => {
            const open = indexedDB.open(DATABASE, 1);
            open.onupgradeneeded = () => {
                open.result.createObjectStore(COPIES, { keyPath: "id" });
                open.result.createObjectStore(PARTS);
            };
            open.onsuccess = () => resolve((this.m_database = open.result));
            open.onerror = () => reject(open.error);
            open.onblocked = () => reject(new Error("the database is blocked"));
        });
        this.m_opening.catch(() => {}); // told when the database is used
    }

    // {id, name, time} of every copy, newest first.
    async list() {
        const database = await this.m_opening;
        const copies = await request(database.transaction(COPIES).objectStore(COPIES).getAll());
        return copies.sort((a, b) => b.time - a.time);
    }

    // The project file text of copy `id`, or null when it is gone.
    async text(id) {
        const database = await this.m_opening;
        const transaction = database.transaction([COPIES, PARTS]);
        const [copy, parts] = await Promise.all([
            request(transaction.objectStore(COPIES).get(id)),
            request(transaction.objectStore(PARTS).getAll(partsOf(id))),
        ]);
        return copy && parts.length === copy.parts ? parts.join("") : null;
    }

    // Keeps `text` as copy `id`, in one transaction begun before this returns (so it is under way
    // even when the page is being closed).
    write(id, name, text) {
        return this.change((copies, parts) => {
            parts.delete(partsOf(id));
            const count = Math.max(1, Math.ceil(text.length / PART));
            for (let n = 0; n < count; ++n) {
                parts.put(text.slice(n * PART, (n + 1) * PART), [id, n]);
            }
            copies.put({ id, name, time: Date.now(), parts: count });
        });
    }

    // Keeps `text` as a copy of its own, as if a page had left it behind.
    add(name, text) {
        return this.write(newId(), name, text);
    }

    remove(id) {
        return this.change((copies, parts) => {
            copies.delete(id);
            parts.delete(partsOf(id));
        });
    }

    async change(make) {
        const database = this.m_database ?? (await this.m_opening);
        const transaction = database.transaction([COPIES, PARTS], "readwrite");
        make(transaction.objectStore(COPIES), transaction.objectStore(PARTS));
        transaction.commit?.();
        return done(transaction);
    }
}

// The names of the locks other pages hold; none where the browser has no locks, so every copy
// then counts as left behind.
async function heldLocks() {
    return new Set(((await navigator.locks?.query())?.held ?? []).map((lock) => lock.name));
}

// Takes the lock `name` and holds it until the returned function is called; null when another
// page holds it.
async function takeLock(name) {
    if (!navigator.locks) {
        return () => {};
    }
    let release = null;
    const taken = new Promise((resolve) => {
        navigator.locks.request(name, { ifAvailable: true }, (lock) => {
            if (!lock) {
                resolve(false);
                return undefined;
            }
            resolve(true);
            return new Promise((end) => (release = end));
        });
    });
    return (await taken) ? release : null;
}

// The copy of the project on screen in this tab.
export class ProjectKeeper {
    // project() answers {name, text, modified} for the project on screen; refused(error) is told
    // when a copy cannot be kept.
    constructor(copies, project, refused) {
        this.m_copies = copies;
        this.m_project = project;
        this.m_refused = refused;
        this.m_id = null;
        this.m_release = () => {};
        this.m_timer = 0;
        this.m_due = 0; // when the oldest edit not kept yet must be kept, or 0 for none
        this.replaced();
        const now = () => this.flush();
        addEventListener("pagehide", now);
        document.addEventListener("visibilitychange", () => document.visibilityState === "hidden" && now());
    }

    // Another project is on screen: the copy of the one it replaced goes (its changes were saved
    // or discarded), and the new one will be kept under an id of its own once it is edited.
    replaced() {
        this.forget();
        this.hold(newId());
    }

    // The project on screen is the kept copy `id`, recovered, whose lock `release` lets go of.
    adopt(id, release) {
        this.forget();
        this.m_release();
        this.m_id = id;
        this.m_release = release;
    }

    // The project changed: it is kept once the page is idle.
    edited() {
        const now = Date.now();
        this.m_due ||= now + LATEST;
        clearTimeout(this.m_timer);
        this.m_timer = setTimeout(() => this.flush(), Math.max(0, Math.min(IDLE, this.m_due - now)));
    }

    // The project was saved: its copy is no longer needed.
    saved() {
        this.forget();
    }

    // Keeps the project now if an edit is waiting: its copy, or none while it holds no changes
    // (undone back to what was saved).
    flush() {
        if (!this.m_due) {
            return;
        }
        clearTimeout(this.m_timer);
        this.m_due = 0;
        const project = this.m_project();
        const kept = project.modified
            ? this.m_copies.write(this.m_id, project.name, project.text)
            : this.m_copies.remove(this.m_id);
        kept.catch((error) => this.m_refused(error));
    }

    forget() {
        clearTimeout(this.m_timer);
        this.m_due = 0;
        if (this.m_id) {
            this.m_copies.remove(this.m_id).catch((error) => this.m_refused(error));
        }
    }

    async hold(id) {
        this.m_release();
        this.m_id = id;
        this.m_release = () => {};
        const release = await takeLock(LOCK + id);
        if (this.m_id === id) {
            this.m_release = release ?? (() => {});
        } else {
            release?.();
        }
    }
}

// The copies left behind by pages that are closed: no open page holds their lock.
export async function leftBehind(copies) {
    const [all, held] = await Promise.all([copies.list(), heldLocks()]);
    return all.filter((copy) => !held.has(LOCK + copy.id));
}

// Takes copy `id` for this page; null when another page took it first.
export function claim(id) {
    return takeLock(LOCK + id);
}
