// SPDX-License-Identifier: MIT
// The page: compiles the inlined core, shows the calculator as the core describes it (or the
// planner, when the page was written with a project built in), and marks the moment the first
// complete set of figures is on screen ("lenstally-figures"). Opening a project goes to the
// planner; the open project is kept in local storage after every edit and offered again when the
// page is opened next.

import { Core } from "../js/core.mjs";
import { compileInlined } from "../js/module_loader.mjs";
import { CalculatorView } from "./calculator_view.mjs";
import { INLINED_MODULE } from "./inlined_module.mjs";
import { PlannerView } from "./planner_view.mjs";
import { viewPicture } from "./view_picture.mjs";

const STORED = "lenstally.project";
const core = new Core(await compileInlined(INLINED_MODULE));
const description = core.page({ calculator: "open" });
const calculator = new CalculatorView(document.getElementById("calculator"), description, (request) =>
    core.page({ calculator: "act", ...request }),
);

// The window's width and the page's: narrower than the window, the controls flow in one column.
const narrow = window.matchMedia(`(max-width: ${description.width + 32}px)`);
const reflow = () => document.body.classList.toggle("narrow", narrow.matches);
narrow.addEventListener("change", reflow);
reflow();

let planner = null;
let restoring = false;
// The planner is built when first shown, so the calculator's first figures come first.
function plannerView() {
    if (!planner) {
        planner = new PlannerView(
            document.getElementById("planner"),
            description,
            (request) => core.page(request),
            keep,
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
}
document.getElementById("show-calculator").addEventListener("click", () => showView("calculator"));
document.getElementById("show-planner").addEventListener("click", () => showView("planner"));

// After each edit the project goes to local storage, once the page is idle again.
let keeping = 0;
function keep() {
    if (restoring) {
        return;
    }
    clearTimeout(keeping);
    keeping = setTimeout(() => {
        try {
            localStorage.setItem(STORED, planner.text("save"));
        } catch {
            // Storage full or refused (a private window): the page works on without it.
        }
    }, 0);
}

function openText(text, source) {
    const view = plannerView();
    showView("planner");
    return view.mayReplace() && view.open(text, source);
}

async function openFile(file) {
    openText(await file.text(), file.name);
}

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

function download(text, name, type) {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([text], { type }));
    link.download = name;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

function baseName() {
    const name = (planner.m_last?.name ?? "").trim();
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
        download(planner.text("save"), `${baseName()}.lenstally.json`, "application/json");
        planner.saved();
    });
    on("csv", () => download(planner.text("csv"), `${baseName()}.csv`, "text/csv"));
    on("json", () => download(planner.text("json"), `${baseName()}.json`, "application/json"));
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
        window.print();
    });
}

// A project kept from the last visit is offered back, not opened unasked.
function offerKeptProject() {
    const stored = localStorage.getItem(STORED);
    if (!stored) {
        return;
    }
    const offer = document.getElementById("restore");
    offer.hidden = false;
    offer.querySelector('[data-do="restore"]').addEventListener("click", () => {
        offer.hidden = true;
        restoring = true;
        openText(stored, "the kept project");
        restoring = false;
    });
    offer.querySelector('[data-do="discard"]').addEventListener("click", () => {
        offer.hidden = true;
        localStorage.removeItem(STORED);
    });
}

// A page written with a project built in opens on it; otherwise a project kept from the last
// visit is offered back.
const builtIn = document.getElementById("lenstally-project");
if (builtIn) {
    openText(builtIn.textContent, "the built-in project");
} else {
    // Looking in local storage can wait for the first figures.
    setTimeout(offerKeptProject, 0);
}
performance.mark("lenstally-figures");
globalThis.lenstally = { core, calculator, plannerView, showView };
