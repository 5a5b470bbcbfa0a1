# SPDX-License-Identifier: MIT
"""The copies of unsaved work the page keeps in the browser, read and cleared straight from its
IndexedDB database and the local storage a closing page writes at once (not through the page's
own code), for the browser tests."""

# A promise of [{id, name, time, text}], every copy kept, in no particular order: a closing page's
# copy in local storage stands for the database's copy of the same id, which it replaces.
READ = """new Promise((resolve, reject) => {
    const closing = () => Object.keys(localStorage).filter(k => k.startsWith("lenstally.closing."))
        .map(k => JSON.parse(localStorage.getItem(k))).map(c => ({...c, time: 0}));
    const open = indexedDB.open("lenstally");
    let none = false;  // no database yet: it is left for the page to make
    open.onupgradeneeded = () => { none = true; open.transaction.abort(); };
    open.onerror = () => none ? resolve(closing()) : reject(open.error);
    open.onsuccess = () => {
        const db = open.result;
        const t = db.transaction(["copies", "parts"]);
        const copies = t.objectStore("copies").getAll();
        const parts = t.objectStore("parts").getAll(null);
        const keys = t.objectStore("parts").getAllKeys(null);
        t.oncomplete = () => {
            db.close();
            const kept = new Map(copies.result.map(c => [c.id, {id: c.id, name: c.name,
                time: c.time, text: keys.result.map((k, i) => [k, parts.result[i]])
                    .filter(([k]) => k[0] === c.id).sort((a, b) => a[0][1] - b[0][1])
                    .map(([, p]) => p).join("")}]));
            for (const c of closing()) {
                kept.set(c.id, c);
            }
            resolve([...kept.values()]);
        };
    };
})"""

# A promise, settled once every copy is gone.
CLEAR = """new Promise((resolve, reject) => {
    const open = indexedDB.open("lenstally");
    let none = false;
    open.onupgradeneeded = () => { none = true; open.transaction.abort(); };
    open.onerror = () => none ? resolve(true) : reject(open.error);
    open.onsuccess = () => {
        const db = open.result;
        const t = db.transaction(["copies", "parts"], "readwrite");
        t.objectStore("copies").clear();
        t.objectStore("parts").clear();
        t.oncomplete = () => {
            db.close();
            Object.keys(localStorage).filter(k => k.startsWith("lenstally.closing."))
                .forEach(k => localStorage.removeItem(k));
            resolve(true);
        };
    };
})"""
