// SPDX-License-Identifier: MIT
// The page: shows the calculator as the core describes it, from the small calculator module that
// comes before this script, while the browser still reads the full module after it (this script
// runs as soon as it is read, and reading goes on while it waits); then, with the full module,
// the planner (on screen at once when the page was written with a project built in). It marks
// the moment the first complete set of figures is on screen ("lenstally-figures") and the moment
// everything answers ("lenstally-ready"). Opening a project goes to the planner. Unsaved work in
// the planner is kept in the browser (see kept_copies.mjs), and what closed pages left behind is
// offered back ("lenstally-offered" marks when the offer is made).

import { Core } from "../js/core.mjs";
import { compileInlined } from "../js/module_loader.mjs";
import { CalculatorView } from "./calculator_view.mjs";
import { INLINED_CALCULATOR, INLINED_MODULE } from "./inlined_module.mjs";
import { claim, KeptCopies, leftBehind, ProjectKeeper } from "./kept_copies.mjs";
import { PlannerView } from "./planner_view.mjs";
import { viewPicture } from "./view_picture.mjs";

// Where pages before IndexedDB kept their one project.
const OLD_STORED = "lenstally.project";
// The calculator keeps its own module; the planner's calculator is the full module's.
const calculatorCore = new Core(await compileInlined(INLINED_CALCULATOR));
const description = calculatorCore.page({ calculator: "open" });
const calculator = new CalculatorView(document.getElementById("calculator"), description, (request) =>
    calculatorCore.page({ calculator: "act", ...request }),
);

// The window's width and the page's: narrower than the window, the controls flow in one column.
const narrow = window.matchMedia(`(max-width: ${description.width + 32}px)`);
const reflow = () => document.body.classList.toggle("narrow", narrow.matches);
narrow.addEventListener("change", reflow);
reflow();
// A page written with a project built in opens on it (kept only once it is edited); its element
// comes before this script.
const builtIn = document.getElementById("lenstally-project");
// The planner's module is compiled once the page is read. What needs it waits until the page is
// wired to it, so a click on Planner, or a file chosen or dropped, in the meantime is not lost.
let wired;
const plannerReady = new Promise((resolve) => (wired = resolve));
document.getElementById("show-calculator").addEventListener("click", () => showView("calculator"));
document.getElementById("show-planner").addEventListener("click", async () => {
    await plannerReady;
    showView("planner");
});
const chooser = document.getElementById("open-project");
chooser.addEventListener("change", async () => {
    if (chooser.files.length > 0) {
        await openFile(chooser.files[0]);
        chooser.value = "";
    }
});
document.addEventListener("dragover", (event) => event.preventDefault());
document.addEventListener("drop", async (event) => {
    event.preventDefault();
    const file = [...(event.dataTransfer?.files ?? [])][0];
    if (file) {
        await openFile(file);
    }
});
if (!builtIn) {
    performance.mark("lenstally-figures");
}
const core = new Core(await compileInlined(await INLINED_MODULE));

let planner = null;
let copies = null;
let keeper = null;

// A page being closed may not wait for the database, which writes asynchronously (on a busy
// machine its last copy was lost that way). So a page closing with unsaved changes also leaves
// them in local storage, written at once, and the next page moves them into the database under
// the same id: the copy is replaced, never doubled.
const CLOSING = "lenstally.closing.";
const closingKey = `${CLOSING}${Date.now().toString(36)}-${Math.random().toString(36).slice(2)}`;
addEventListener("pagehide", () => {
    try {
        const project = planner && projectNow();
        if (project?.modified) {
            const id = keeper?.m_id ?? closingKey;
            localStorage.setItem(closingKey, JSON.stringify({ id, name: project.name, text: project.text }));
        } else {
            localStorage.removeItem(closingKey);
        }
    } catch {
        // Refused or full: the database's copy is all there is.
    }
});
addEventListener("pageshow", (event) => {
    try {
        if (event.persisted) {
            localStorage.removeItem(closingKey); // back from the cache, still open
        }
    } catch {
        // Refused: nothing was written either.
    }
});
// The planner is built when first shown, so the calculator's first figures come first.
function plannerView() {
    if (!planner) {
        planner = new PlannerView(
            document.getElementById("planner"),
            description,
            (request) => core.page(request),
            { edited: () => keeper?.edited(), replaced: () => keeper?.replaced(), download },
        );
        planner.ask({ planner: "show" });
        connectPlannerFiles();
    }
    return planner;
}

function showView(name) {
    if (name === "planner") {
        plannerView();
    }
    for (const view of ["calculator", "planner"]) {
        document.getElementById(view).hidden = view !== name;
        document.getElementById(`show-${view}`).setAttribute("aria-pressed", String(view === name));
    }
    if (name === "planner") {
        planner.shown();
    }
}

function openText(text, source, group, file) {
    const view = plannerView();
    showView("planner");
    return view.mayReplace() && view.open(text, source, group, file);
}

async function openFile(file) {
    const text = await file.text();
    await plannerReady;
    openText(text, file.name, 0, file.name);
}

function download(text, name, type) {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([text], { type }));
    link.download = name;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

function baseName() {
    const name = (planner.m_last.name ?? "").trim();
    return name === "" ? "plan" : name.replace(/[\\/:*?"<>|]+/g, "-");
}

// The SVG text as an <img> whose source is its data URL (base64 of its UTF-8 bytes).
function sitePicture(svg) {
    const bytes = new TextEncoder().encode(svg);
    let binary = "";
    for (let at = 0; at < bytes.length; at += 0x8000) {
        binary += String.fromCharCode(...bytes.subarray(at, at + 0x8000));
    }
    const image = document.createElement("img");
    image.className = "site-picture";
    image.alt = "Site plan";
    image.src = `data:image/svg+xml;base64,${btoa(binary)}`;
    return image;
}

function connectPlannerFiles() {
    const on = (what, action) =>
        document.querySelector(`#planner [data-do="${what}"]`).addEventListener("click", action);
    on("save", () => {
        download(core.plannerText("save"), `${baseName()}.lenstally.json`, "application/json");
        planner.saved();
        keeper?.saved();
    });
    on("csv", () => download(core.plannerText("csv"), `${baseName()}.csv`, "text/csv"));
    on("json", () => download(core.plannerText("json"), `${baseName()}.json`, "application/json"));
    on("print", () => {
        const date = new Date().toISOString().slice(0, 10);
        const answer = core.page({ planner: "report", date });
        const report = document.getElementById("report");
        report.innerHTML = answer.html;
        // Each camera view's picture, drawn where the report leaves its place.
        for (const place of report.querySelectorAll("[data-picture]")) {
            place.replaceWith(viewPicture(answer.pictures[Number(place.dataset.picture)], 520, 220));
        }
        // The site plan's drawing, as an image of the core's SVG: the plan's own image stays an
        // image inside it, and nothing in it runs.
        for (const place of report.querySelectorAll("[data-site-picture]")) {
            place.replaceWith(sitePicture(answer.site));
        }
        // Every printed page names the project and the date at its top.
        const name = planner.m_last.name || "Untitled project";
        printHead.textContent = `@page { @top-left { content: ${cssString(`${name}, ${date}`)}; } }`;
        window.print();
    });
}

// The printed pages' own rules that depend on the project (their running head).
const printHead = document.head.appendChild(document.createElement("style"));

// `text` as a CSS string: quoted, with its backslashes, quotes and line ends escaped.
function cssString(text) {
    return `"${text.replace(/[\\"]/g, "\\$&").replace(/[\n\r\f]/g, "\\A ")}"`;
}

// Where the browser refuses to keep copies (storage full, a private window), the page says so
// once, so nobody relies on it.
function notKept() {
    document.getElementById("not-kept").hidden = false;
}

// The copy of the planner's project, for the keeper.
function projectNow() {
    return {
        name: planner?.m_last.name ?? "",
        text: core.plannerText("save"),
        modified: core.page({ planner: "changed" }).changed,
    };
}

// The name a project file gives, or "" (a file that does not read is still kept, and offered).
function nameIn(text) {
    try {
        return String(JSON.parse(text).name ?? "");
    } catch {
        return "";
    }
}

// Each copy a closed page left behind is offered back, to recover or discard, not opened
// unasked.
async function offerKeptCopies() {
    let left = [];
    try {
        const old = localStorage.getItem(OLD_STORED);
        if (old) {
            await copies.add(nameIn(old), old);
            localStorage.removeItem(OLD_STORED);
        }
        for (const key of Object.keys(localStorage).filter((k) => k.startsWith(CLOSING))) {
            const closing = JSON.parse(localStorage.getItem(key));
            await copies.write(closing.id, closing.name, closing.text);
            localStorage.removeItem(key);
        }
        left = await leftBehind(copies);
    } catch {
        return; // no storage: nothing was kept
    }
    const offer = document.getElementById("restore");
    const list = offer.querySelector("ul");
    for (const copy of left) {
        const item = document.createElement("li");
        const label = document.createElement("span");
        label.id = `kept-${copy.id}`;
        label.textContent = `${copy.name || "Untitled project"}, kept ${new Date(copy.time).toLocaleString()}`;
        const button = (text, what, action) => {
            const b = document.createElement("button");
            b.type = "button";
            b.textContent = text;
            b.dataset.do = what;
            b.setAttribute("aria-describedby", label.id);
            b.addEventListener("click", () => action(copy, item));
            return b;
        };
        item.append(label, " ", button("Recover", "restore", recover), " ", button("Discard", "discard", discard));
        list.append(item);
    }
    offer.hidden = list.children.length === 0;
}

function offered(item) {
    const offer = document.getElementById("restore");
    item.remove();
    offer.hidden = offer.querySelector("li") === null;
}

async function recover(copy, item) {
    const view = plannerView();
    showView("planner");
    if (!view.mayReplace()) {
        return;
    }
    const release = await claim(copy.id);
    const text = release && (await copies.text(copy.id));
    offered(item);
    if (!text) {
        release?.();
        view.say("That project is no longer kept: another page has recovered or discarded it.", true);
    } else if (view.open(text, copy.name || "the kept project")) {
        view.unsaved();
        keeper.adopt(copy.id, release);
    } else {
        release();
    }
}

async function discard(copy, item) {
    const release = await claim(copy.id);
    offered(item);
    if (release) {
        await copies.remove(copy.id).catch(notKept);
        release();
    }
}

if (builtIn) {
    openText(builtIn.textContent, "the built-in project", Number(builtIn.dataset.group ?? 0));
    // A project with a site plan opens on it.
    planner.showSite(planner.m_last.site);
    performance.mark("lenstally-figures");
}
// The kept copies can wait for the first figures.
setTimeout(() => {
    try {
        copies = new KeptCopies();
    } catch {
        notKept();
        return;
    }
    keeper = new ProjectKeeper(copies, projectNow, notKept);
    if (planner && core.page({ planner: "changed" }).changed) {
        keeper.edited(); // edited before there was a keeper
    }
    offerKeptCopies().finally(() => performance.mark("lenstally-offered"));
}, 0);
globalThis.lenstally = { core, calculator, plannerView, showView };
wired();
performance.mark("lenstally-ready");
