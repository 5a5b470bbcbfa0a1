// SPDX-License-Identifier: MIT
// The planner in the page: the groups table, the selected group with its calculator, the storage
// plan and recorder inputs with their figures, and the toolbar. Every edit is one request to the
// core's planner (which keeps the project, the selection and the undo history); its answer says
// what changed, and this only shows that.

import { CalculatorView } from "./calculator_view.mjs";
import { GroupsTable } from "./groups_table.mjs";
import { SiteView } from "./site_view.mjs";
import { viewPicture } from "./view_picture.mjs";

// The size the selected group's camera view picture is drawn at, before it is scaled to fit.
const PICTURE = { width: 440, height: 200 };

export class PlannerView {
    // ask(request) sends a planner request to the core and returns its answer; on.edited() is
    // called after every answer that changed the project, on.replaced() once another project (a
    // new one, or one opened) has replaced it; on.download(text, name, type) offers a file.
    constructor(root, calculatorDescription, ask, on) {
        this.m_root = root;
        this.m_ask = ask;
        this.m_on = on;
        this.m_last = {}; // what the answers so far say: name, count, selected, group
        this.m_file = null; // the name of the file the project was opened from
        this.m_message = root.querySelector("#planner-message");
        this.m_table = new GroupsTable(
            root.querySelector("#groups"),
            (from, to) => this.m_ask({ planner: "rows", from, to }).rows,
            {
                select: (group) => this.ask({ planner: "select", group }),
                edit: (group, column) => this.editCell(group, column),
            },
        );
        this.m_calculator = new CalculatorView(
            root.querySelector("#planner-calculator"),
            calculatorDescription,
            (action) => this.ask({ planner: "form", group: this.m_last?.selected, action }),
            "p-",
        );
        this.m_site = new SiteView(root.querySelector("#site"), this, on.download);
        this.connect();
    }

    // Shows the site plan in place of the groups, or the groups again.
    showSite(on) {
        this.m_root.querySelector(".planner-body").hidden = on;
        this.m_root.querySelector("#site").hidden = !on;
        this.m_root.querySelector('[data-do="site"]').setAttribute("aria-pressed", String(on));
        if (!on) {
            this.m_table.render();
        }
    }

    // Sends a request; shows its answer; returns it.
    ask(request) {
        const answer = this.m_ask(request);
        this.show(answer);
        if (answer.edited) {
            this.m_on.edited();
        } else if (answer.reset) {
            this.m_on.replaced();
        }
        return answer;
    }

    // Opens a project file's text; a bad file leaves the project on screen and says why.
    // group: the group to select once open (an interactive page opens on the one selected when
    // it was made); the first where it names none or no such group.
    // file: the name of the file it came from, shown where the project has no name of its own.
    open(text, source, group, file = null) {
        const answer = this.m_ask({ planner: "open", text });
        if (answer.error) {
            this.say(`${source}: ${answer.error}`, true);
            return false;
        }
        this.m_file = file;
        this.show(answer);
        if (Number.isInteger(group) && group > 0 && group < this.m_last.count) {
            this.ask({ planner: "select", group });
        }
        this.say("");
        this.m_on.replaced();
        return true;
    }

    // Whether the project on screen may be replaced: it has no changes since it was opened,
    // started or saved, or the user agrees to discard them.
    mayReplace() {
        return (
            !this.m_ask({ planner: "changed" }).changed ||
            window.confirm("The project has changes that were not saved. Discard them?")
        );
    }

    // The project as it is now counts as saved (its file was just downloaded).
    saved() {
        this.m_ask({ planner: "saved" });
        this.showTitle(false);
    }

    // The project counts as unsaved until it is saved (a recovered copy).
    unsaved() {
        this.m_ask({ planner: "unsaved" });
        this.showTitle(true);
    }

    // Draws the table again, now that the planner is on screen and its frame has a size.
    shown() {
        this.m_table.render();
    }

    say(text, warning = false) {
        this.m_message.textContent = text;
        this.m_message.classList.toggle("warning", warning);
    }

    connect() {
        for (const button of this.m_root.querySelectorAll(".toolbar button")) {
            const what = button.dataset.do;
            if (["add", "duplicate", "remove", "up", "down", "undo", "redo", "new"].includes(what)) {
                button.addEventListener("click", () => {
                    if (what !== "new" || this.mayReplace()) {
                        if (what === "new") {
                            this.m_file = null;
                        }
                        this.ask({ planner: what });
                    }
                });
            }
        }
        const site = this.m_root.querySelector('[data-do="site"]');
        site.addEventListener("click", () => this.showSite(site.getAttribute("aria-pressed") !== "true"));
        // Ctrl+Z undoes and Ctrl+Shift+Z or Ctrl+Y redoes, as in the desktop planner; in a text
        // box the browser's own undo of the typing comes first.
        document.addEventListener("keydown", (event) => {
            const typing = event.target.closest?.("input:not([type=radio]):not([type=checkbox]), textarea");
            if (this.m_root.hidden || typing || !(event.ctrlKey || event.metaKey)) {
                return;
            }
            const key = event.key.toLowerCase();
            const what = key === "z" ? (event.shiftKey ? "redo" : "undo") : key === "y" ? "redo" : null;
            if (what) {
                event.preventDefault();
                this.ask({ planner: what });
            }
        });
        // The selected group's calculator and camera view are two tabs, as in the desktop
        // planner: a click or the arrow keys choose one.
        const tabs = [...this.m_root.querySelectorAll('.tabs [role="tab"]')];
        const choose = (chosen) => {
            for (const tab of tabs) {
                const on = tab === chosen;
                tab.setAttribute("aria-selected", String(on));
                tab.tabIndex = on ? 0 : -1;
                this.m_root.querySelector(`#${tab.getAttribute("aria-controls")}`).hidden = !on;
            }
        };
        for (const tab of tabs) {
            tab.addEventListener("click", () => choose(tab));
            tab.addEventListener("keydown", (event) => {
                const step = { ArrowRight: 1, ArrowLeft: -1 }[event.key];
                if (step) {
                    const next = tabs[(tabs.indexOf(tab) + step + tabs.length) % tabs.length];
                    choose(next);
                    next.focus();
                    event.preventDefault();
                }
            });
        }
        // A narrow screen shows the groups' names and totals; the other columns on demand.
        const all = this.m_root.querySelector("#all-columns");
        all.addEventListener("click", () => {
            const shown = this.m_root.querySelector("#groups").classList.toggle("all-columns");
            all.setAttribute("aria-pressed", String(shown));
            this.m_table.refit();
        });
        const name = this.m_root.querySelector("#project-name");
        name.addEventListener("input", () =>
            this.ask({ planner: "project-name", name: name.value || null }),
        );
        const groupName = this.m_root.querySelector("#group-name");
        groupName.addEventListener("input", () =>
            this.ask({ planner: "rename", group: this.m_last?.selected, name: groupName.value }),
        );
        const activity = this.m_root.querySelector("#group-activity");
        activity.addEventListener("change", () => {
            if (activity.value !== "") {
                this.ask({ planner: "activity", group: this.m_last?.selected, value: Number(activity.value) });
            }
        });
        for (const input of this.m_root.querySelectorAll("[data-camera]")) {
            input.addEventListener("change", () => {
                if (input.type === "radio") {
                    this.showLensForm();
                }
                this.ask({
                    planner: "camera",
                    group: this.m_last?.selected,
                    field: input.dataset.camera,
                    inputs: this.cameraInputs(),
                });
            });
        }
        for (const input of this.m_root.querySelectorAll("[data-plan]")) {
            input.addEventListener("change", () =>
                this.ask({ planner: "plan", field: input.dataset.plan, inputs: this.planInputs() }),
            );
        }
        const table = this.m_root.querySelector("#groups");
        table.addEventListener("keydown", (event) => {
            if (event.target !== table || this.m_last?.selected == null) {
                return;
            }
            const selected = this.m_last.selected;
            const page = Math.max(1, Math.floor(table.parentElement.clientHeight / 24));
            const step = { ArrowDown: 1, ArrowUp: -1, PageDown: page, PageUp: -page }[event.key];
            const next = { Home: 0, End: this.m_last.count - 1 }[event.key] ?? (step && selected + step);
            if (next !== undefined) {
                const group = Math.max(0, Math.min(this.m_last.count - 1, next));
                if (group !== selected) {
                    this.ask({ planner: "select", group });
                }
                event.preventDefault();
            } else if (event.key === "F2" || event.key === "Enter") {
                this.editCell(selected, 0);
                event.preventDefault();
            }
        });
    }

    // Opens an editor in an editable cell; Enter or leaving it commits, Escape cancels.
    editCell(row, column) {
        const what = this.m_table.columns[column]?.edit;
        const cell = what && row < this.m_last.count ? this.m_table.rowElement(row)?.cells[column + 1] : null;
        if (!cell) {
            return;
        }
        const editor = document.createElement("input");
        editor.setAttribute("aria-label", this.m_table.columns[column].header);
        editor.value = what === "activity" ? cell.textContent.replace(/ %$/, "") : cell.textContent;
        let done = false;
        const finish = (commit) => {
            if (done) {
                return;
            }
            done = true;
            const value = editor.value;
            editor.remove();
            cell.textContent = cell.dataset.text;
            if (commit) {
                const request = { planner: what, group: row };
                if (what === "activity") {
                    request.value = Number(value);
                    if (value.trim() === "" || !Number.isFinite(request.value)) {
                        return;
                    }
                } else if (what === "rename") {
                    request.name = value;
                } else {
                    request.text = value;
                }
                this.ask(request);
            }
            this.m_root.querySelector("#groups").focus();
        };
        editor.addEventListener("keydown", (event) => {
            if (event.key === "Enter" || event.key === "Escape") {
                event.preventDefault();
                finish(event.key === "Enter");
            }
        });
        editor.addEventListener("blur", () => finish(true));
        cell.replaceChildren(editor);
        this.m_table.refit();
        editor.focus();
        editor.select();
    }

    // The plan inputs as the core reads them (see planInputs in the module).
    planInputs() {
        const inputs = { storage: {}, recorder: {} };
        for (const input of this.m_root.querySelectorAll("[data-plan]")) {
            const [section, key] = input.dataset.plan.split(".");
            let value;
            if (input.type === "checkbox") {
                value = input.checked;
            } else if (key === "driveUnit") {
                value = input.value;
            } else {
                value = input.value === "" ? NaN : Number(input.value);
            }
            inputs[section][key] = value;
        }
        return inputs;
    }

    // Shows an answer of the core's planner: only the parts it holds changed.
    show(answer) {
        if (answer.error && answer.count === undefined) {
            this.say(answer.error, true);
            return;
        }
        const moved = answer.reset || answer.shifts || answer.selected !== this.m_last.selected;
        for (const key of ["name", "count", "selected", "group"]) {
            if (answer[key] !== undefined) {
                this.m_last[key] = answer[key];
            }
        }
        const table = this.m_table;
        if (answer.reset) {
            table.reset(answer.columns, answer.count);
            this.m_firstView = answer.firstView;
        }
        table.shift(answer.shifts ?? []);
        table.update(answer.rows ?? []);
        table.select(answer.selected);
        if (answer.total) {
            table.showTotal(answer.total);
        }
        // A group selected anew, or moved, is scrolled into view; otherwise the view stays where
        // it is.
        if (moved && answer.selected !== null) {
            table.scrollTo(answer.selected);
        } else {
            table.render();
        }
        const field = (selector) => this.m_root.querySelector(selector);
        keepValue(field("#project-name"), answer.name ?? "");
        if (answer.group !== undefined) {
            this.showGroup(answer.group);
        }
        for (const state of answer.form ?? answer.changed ?? []) {
            this.m_calculator.show(state);
        }
        if (answer.form || answer.changed) {
            this.m_calculator.fitLabels();
        }
        if (answer.site !== undefined) {
            this.m_last.site = Boolean(answer.site);
            this.m_site.show(answer.site);
        }
        if (answer.plan) {
            this.showPlan(answer.plan);
        }
        if (answer.storageLines) {
            this.showLines(field("#storage-figures"), answer.storageLines);
            this.showLines(field("#recorder-figures"), answer.recorderLines);
        }
        const undo = this.m_root.querySelector('[data-do="undo"]');
        const redo = this.m_root.querySelector('[data-do="redo"]');
        undo.disabled = !answer.undo;
        undo.title = answer.undo ? `Undo ${answer.undo}` : "";
        redo.disabled = !answer.redo;
        redo.title = answer.redo ? `Redo ${answer.redo}` : "";
        this.showTitle(answer.modified);
        const none = answer.selected === null;
        for (const what of ["duplicate", "remove", "up", "down"]) {
            this.m_root.querySelector(`[data-do="${what}"]`).disabled = none;
        }
        if (answer.error) {
            this.say(answer.error, true);
        } else if (answer.note) {
            this.say(answer.note);
        }
    }

    // The project's name (or its file's, or "Untitled") and "*" while it has unsaved changes, in
    // the tab's title and beside the toolbar, as the desktop planner's title shows them.
    showTitle(modified) {
        const name = this.m_last.name || this.m_file || "Untitled";
        const shown = `${name}${modified ? "*" : ""}`;
        document.title = `${shown} - Lenstally`;
        const title = document.getElementById("project-title");
        if (title) {
            title.textContent = shown;
            title.hidden = false;
        }
    }

    // The selected group's name, activity, recorded storage and camera; with no group, they
    // and the calculator are disabled.
    showGroup(group) {
        const field = (selector) => this.m_root.querySelector(selector);
        for (const selector of ["#group-name", "#group-activity"]) {
            field(selector).disabled = !group;
        }
        keepValue(field("#group-name"), group ? group.name : "");
        keepValue(field("#group-activity"), group ? String(group.activity) : "100");
        field("#group-recorded").textContent = group ? group.recorded : "no group: add one with Add group";
        field("#planner-calculator").classList.toggle("disabled", !group);
        this.showCamera(group?.camera ?? null, this.m_firstView);
    }

    // What the camera section's inputs hold, as the core reads them (see cameraEdit there).
    cameraInputs() {
        const input = (name) => this.m_root.querySelector(`[data-camera="${name}"]`);
        const number = (name) => (input(name).value === "" ? null : Number(input(name).value));
        return {
            camera: input("camera").value,
            pixels: number("pixels"),
            resolutionWidth: input("resolutionWidth").checked,
            view: input("view").checked,
            distance: number("distance"),
            lensForm: this.m_root.querySelector('[data-camera="lensForm"]:checked')?.value ?? "angle",
            hfov: number("hfov"),
            focal: number("focal"),
            sensor: number("sensor"),
        };
    }

    // Only the chosen lens's inputs take values, and only while there is a view.
    showLensForm() {
        const input = (name) => this.m_root.querySelector(`[data-camera="${name}"]`);
        const on = Boolean(this.m_last?.group) && input("view").checked;
        const angle = this.m_root.querySelector('[data-camera="lensForm"][value="angle"]').checked;
        for (const radio of this.m_root.querySelectorAll('[data-camera="lensForm"]')) {
            radio.disabled = !on;
        }
        input("distance").disabled = !on;
        input("hfov").disabled = !on || !angle;
        input("focal").disabled = !on || angle;
        input("sensor").disabled = !on || angle;
    }

    // The selected group's camera details, its view's figures and picture; with no group, the
    // inputs are disabled. The view's inputs keep what they show while the view is off (at
    // first, what the core offers a new view).
    showCamera(camera, firstView) {
        const input = (name) => this.m_root.querySelector(`[data-camera="${name}"]`);
        const keep = keepValue;
        const inputs = camera?.inputs ?? {};
        for (const name of ["camera", "pixels", "resolutionWidth", "view"]) {
            input(name).disabled = !camera;
        }
        keep(input("camera"), inputs.camera ?? "");
        keep(input("pixels"), inputs.pixels === undefined ? "" : String(inputs.pixels));
        input("resolutionWidth").checked = inputs.resolutionWidth ?? true;
        input("view").checked = inputs.view ?? false;
        for (const name of ["distance", "hfov", "focal", "sensor"]) {
            if (inputs[name] != null) {
                keep(input(name), String(inputs[name]));
            } else if (input(name).value === "" && firstView) {
                input(name).value = String(firstView[name]);
            }
        }
        const checked = this.m_root.querySelector('[data-camera="lensForm"]:checked');
        const form = inputs.lensForm ?? (checked ? null : firstView?.lensForm);
        if (form) {
            this.m_root.querySelector(`[data-camera="lensForm"][value="${form}"]`).checked = true;
        }
        this.showLensForm();
        const figures = this.m_root.querySelector("#camera-figures");
        this.showLines(figures, camera?.figures ?? []);
        const picture = this.m_root.querySelector("#camera-picture");
        const drawn = camera?.picture ? JSON.stringify(camera.picture) : "";
        if (picture.dataset.drawn !== drawn) {
            picture.dataset.drawn = drawn;
            picture.replaceChildren(
                ...(camera?.picture ? [viewPicture(camera.picture, PICTURE.width, PICTURE.height)] : []),
            );
        }
        this.m_root.querySelector("#camera-no-view").hidden = Boolean(camera?.picture);
    }

    showPlan(plan) {
        for (const input of this.m_root.querySelectorAll("[data-plan]")) {
            const [section, key] = input.dataset.plan.split(".");
            const value = plan[section][key];
            if (input.type === "checkbox") {
                input.checked = value;
            } else if (document.activeElement !== input || Number(input.value) !== value) {
                input.value = String(value);
            }
            if (key !== "on") {
                input.disabled = !plan[section].on;
            }
        }
        const arrays = plan.storage.raid === 5 || plan.storage.raid === 6;
        this.m_root.querySelector("#array-width").disabled = !plan.storage.on || !arrays;
        this.m_root.querySelector("#bays").disabled = !plan.recorder.on || !plan.storage.on;
    }

    // A list of figures, redrawn only when its lines are not the ones it shows.
    showLines(list, lines) {
        const shown = JSON.stringify(lines);
        if (list.dataset.shown === shown) {
            return;
        }
        list.dataset.shown = shown;
        list.closest("section").hidden = lines.length === 0;
        list.replaceChildren(
            ...lines.flatMap((line) => {
                const label = document.createElement("dt");
                label.textContent = line.label;
                const value = document.createElement("dd");
                value.textContent = line.value;
                value.classList.toggle("warning", line.warning);
                return [label, value];
            }),
        );
    }
}

// Writes a value into an input, unless it is the one being typed in and already holds it (a
// write would move the caret).
function keepValue(input, value) {
    if (document.activeElement !== input || input.value !== value) {
        input.value = value;
    }
}
