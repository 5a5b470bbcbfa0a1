// SPDX-License-Identifier: MIT
// The site plan in the page: the command line's drawing of it with handles laid over it, and the
// list of placed cameras, zones and walls. Each gesture is one request to the core's planner
// (through the planner view, whose answers come back to show()); the figures, texts and undo are
// the core's.

const LEVELS = ["Monitor", "Detect", "Observe", "Recognise", "Identify", "Inspect"];

function svgElement(name, attributes) {
    const element = document.createElementNS("http://www.w3.org/2000/svg", name);
    for (const key in attributes) {
        element.setAttribute(key, attributes[key]);
    }
    return element;
}

function input(label, value, change, type = "number") {
    const box = Object.assign(document.createElement("input"), { type, step: "any", value });
    box.setAttribute("aria-label", label);
    box.addEventListener("input", () => box.value !== "" && change(box.value));
    return box;
}

function button(text, click) {
    const b = Object.assign(document.createElement("button"), { type: "button", textContent: text });
    b.addEventListener("click", click);
    return b;
}

// The rows of `body` show `items`, each drawn by make(item, i) as an array of cells; only the rows
// whose item changed are drawn anew (a drag changes one camera of hundreds), and of a row whose
// box has the focus only the other cells, so the typing goes on.
function fillRows(body, items, make) {
    while (body.rows.length > items.length) {
        body.deleteRow(-1);
    }
    items.forEach((item, i) => {
        const key = JSON.stringify([i, item]);
        const row = body.rows[i] ?? body.insertRow();
        if (row.dataset.key !== key) {
            row.dataset.key = key;
            make(item, i).forEach((cell, c) => {
                const place = row.cells[c] ?? row.insertCell();
                if (!place.contains(document.activeElement)) {
                    place.replaceChildren(cell);
                }
            });
        }
    });
}

export class SiteView {
    // planner: the planner view, which asks the core and shows its answers; download(text, name,
    // type) offers a file.
    constructor(root, planner, download) {
        this.m_root = root;
        this.m_planner = planner;
        this.m_site = null;
        this.m_mode = null; // "camera", "wall", "zone" or null
        this.m_points = []; // the wall or zone being drawn, in metres
        this.m_pick = null; // the item picked: {placement: [group, index]}, {zone: i} or {wall: i}
        this.m_plan = root.querySelector("#site-plan");
        this.m_svg = svgElement("svg", { role: "img", "aria-label": "Site plan drawing" });
        this.m_drawing = svgElement("g", {});
        this.m_handles = svgElement("g", { class: "site-handles" });
        this.m_svg.append(this.m_drawing, this.m_handles);
        this.m_plan.append(this.m_svg);
        this.connect(download);
    }

    $(selector) {
        return this.m_root.querySelector(selector);
    }

    ask(request) {
        return this.m_planner.ask(request);
    }

    button(what) {
        return this.$(`[data-site="${what}"]`);
    }

    connect(download) {
        const on = (what, action) => this.button(what).addEventListener("click", action);
        on("start", () =>
            this.ask({ planner: "startSite", width: +this.$("#site-new-width").value, height: +this.$("#site-new-height").value }),
        );
        this.$("#site-width").addEventListener("change", (e) => this.ask({ planner: "siteWidth", width: +e.target.value }));
        this.$("#site-drawing").addEventListener("change", (e) => {
            this.load(e.target.files[0]);
            e.target.value = "";
        });
        this.m_plan.addEventListener("dragover", (e) => e.preventDefault());
        this.m_plan.addEventListener("drop", (e) => {
            e.preventDefault();
            e.stopPropagation();
            this.load(e.dataTransfer?.files?.[0]);
        });
        for (const mode of ["camera", "wall", "zone"]) {
            on(mode, () => this.setMode(this.m_mode === mode ? null : mode));
        }
        on("delete", () => this.remove());
        on("in", () => this.zoom(0.8));
        on("out", () => this.zoom(1.25));
        on("fit", () => this.setBox(this.m_full));
        on("svg", () => download(this.m_site.svg, "site-plan.svg", "image/svg+xml"));
        this.m_svg.addEventListener("wheel", (e) => {
            e.preventDefault();
            this.zoom(e.deltaY > 0 ? 1.25 : 0.8, this.pixelAt(e));
        });
        this.m_svg.addEventListener("pointerdown", (e) => this.press(e));
        this.m_svg.addEventListener("dblclick", () => this.finish());
        this.m_plan.addEventListener("keydown", (e) => {
            const act = {
                Enter: () => this.finish(),
                Escape: () => this.setMode(null),
                Delete: () => this.remove(),
            }[e.key];
            act?.();
        });
    }

    // A drawing file, as a data URL stretched over the plan; its aspect sets the plan's height.
    load(file) {
        const reader = new FileReader();
        reader.onload = () => {
            const url = reader.result;
            const picture = new Image();
            picture.onload = picture.onerror = () =>
                this.ask({ planner: "siteImage", url, aspect: picture.naturalWidth / picture.naturalHeight || null });
            picture.src = url;
        };
        if (file) {
            reader.readAsDataURL(file);
        }
    }

    setMode(mode) {
        this.m_mode = mode;
        this.m_points = [];
        for (const what of ["camera", "wall", "zone"]) {
            this.button(what).setAttribute("aria-pressed", String(what === mode));
        }
        this.drawHandles();
    }

    // The drawing's pixel under the pointer.
    pixelAt(event) {
        return new DOMPoint(event.clientX, event.clientY).matrixTransform(this.m_svg.getScreenCTM().inverse());
    }

    // The plan's metres under the pointer.
    metresAt(event) {
        const p = this.pixelAt(event);
        const { margin, scale } = this.m_site;
        return [(p.x - margin) / scale, (p.y - margin) / scale];
    }

    zoom(factor, about) {
        const [x, y, w, h] = this.m_box;
        const c = about ?? { x: x + w / 2, y: y + h / 2 };
        this.setBox([c.x - (c.x - x) * factor, c.y - (c.y - y) * factor, w * factor, h * factor]);
    }

    // The part of the drawing on show, in its pixels.
    setBox(box) {
        this.m_box = box;
        this.m_svg.setAttribute("viewBox", box.join(" "));
    }

    // Follows the pointer until it is let go, one move a frame at most; `then` once it is.
    follow(move, then) {
        let pending = null;
        const onMove = (e) => {
            if (!pending) {
                requestAnimationFrame(() => {
                    move(pending);
                    pending = null;
                });
            }
            pending = e;
        };
        const onUp = () => {
            this.m_svg.removeEventListener("pointermove", onMove);
            this.m_svg.removeEventListener("pointerup", onUp);
            then?.();
        };
        this.m_svg.addEventListener("pointermove", onMove);
        this.m_svg.addEventListener("pointerup", onUp);
    }

    press(event) {
        this.m_plan.focus();
        const handle = event.target.dataset ?? {};
        const at = this.metresAt(event);
        if (handle.placement) {
            const p = this.m_site.placements[handle.placement];
            this.m_pick = { placement: [p.group, p.index] };
            // The drawing follows once the camera is let go: a large plan takes longer to draw
            // than a frame, so the drag moves the handles and the figures alone.
            const request = { planner: "editPlacement", group: p.group, index: p.index, drawing: false };
            this.follow(
                (e) => {
                    const [x, y] = this.metresAt(e);
                    // The turning handle points the camera at the pointer; its body moves.
                    const heading = ((Math.atan2(x - p.x, p.y - y) * 180) / Math.PI + 360) % 360;
                    this.ask(handle.turn ? { ...request, field: "heading", heading } : { ...request, field: "position", x, y });
                },
                () => this.show(this.m_planner.m_ask({ planner: "site" }).site),
            );
        } else if (this.m_mode === "camera") {
            this.ask({ planner: "placeCamera", group: this.m_planner.m_last.selected, x: at[0], y: at[1], heading: 0 });
        } else if (this.m_mode) {
            this.m_points.push(at);
        } else {
            this.m_pick = null;
            const start = this.pixelAt(event);
            const box = [...this.m_box];
            this.follow((e) => {
                const p = this.pixelAt(e);
                box[0] -= p.x - start.x;
                box[1] -= p.y - start.y;
                this.setBox(box);
            });
        }
        this.drawHandles();
    }

    // Ends the wall or zone being drawn.
    finish() {
        const points = this.m_points;
        if (this.m_mode === "wall" && points.length > 1) {
            this.ask({ planner: "addWall", points });
        } else if (this.m_mode === "zone" && points.length > 2) {
            const name = `Zone ${this.m_site.zones.length + 1}`;
            this.ask({ planner: "addZone", name, level: "Monitor", required: 100, points });
        }
        this.m_points = [];
        this.drawHandles();
    }

    remove() {
        const { placement, zone, wall } = this.m_pick ?? {};
        if (placement) {
            this.ask({ planner: "removePlacement", group: placement[0], index: placement[1] });
        } else if (zone !== undefined) {
            this.ask({ planner: "removeZone", zone });
        } else if (wall !== undefined) {
            this.ask({ planner: "removeWall", wall });
        }
        this.m_pick = null;
    }

    // Shows the site part of an answer: null for no plan.
    show(site) {
        this.m_site = site;
        this.$("#site-start").hidden = Boolean(site);
        this.$("#site-body").hidden = !site;
        if (!site) {
            return;
        }
        if (site.svg) {
            const drawn = new DOMParser().parseFromString(site.svg, "image/svg+xml").documentElement;
            const full = drawn.getAttribute("viewBox").split(" ").map(Number);
            if (String(full) !== String(this.m_full)) {
                this.m_full = full;
                this.setBox(full);
            }
            this.m_drawing.replaceChildren(drawn);
        } else {
            site.svg = this.m_svgText; // for Export SVG, as last drawn
        }
        this.m_svgText = site.svg;
        const width = this.$("#site-width");
        if (document.activeElement !== width) {
            width.value = site.width;
        }
        this.drawHandles();
        this.showList();
    }

    // A handle on each placed camera, one to turn the picked one, and the points being drawn.
    drawHandles() {
        const site = this.m_site;
        if (!site) {
            return;
        }
        const px = (m) => site.margin + m * site.scale;
        const [group, index] = this.m_pick?.placement ?? [];
        const handles = [];
        site.placements.forEach((p, i) => {
            const picked = p.group === group && p.index === index;
            handles.push(svgElement("circle", { cx: px(p.x), cy: px(p.y), r: 8, "data-placement": i, class: picked ? "picked" : "" }));
            if (picked) {
                const a = (p.heading * Math.PI) / 180;
                const [x, y] = [px(p.x) + 30 * Math.sin(a), px(p.y) - 30 * Math.cos(a)];
                handles.push(svgElement("circle", { cx: x, cy: y, r: 6, class: "turn", "data-placement": i, "data-turn": 1 }));
            }
        });
        const points = this.m_points.map(([x, y]) => `${px(x)},${px(y)}`).join(" ");
        handles.push(svgElement("polyline", { points, class: "drawing" }));
        this.m_handles.replaceChildren(...handles);
    }

    showList() {
        const site = this.m_site;
        const ask = (request) => () => this.ask(request);
        const text = (t) => document.createTextNode(t);
        fillRows(this.$("#site-cameras tbody"), site.placements, (p) => {
            const request = { planner: "editPlacement", group: p.group, index: p.index };
            const box = (name, field) =>
                input(`${name} of ${p.label}`, p[field], (v) => this.ask({ ...request, field, [field]: +v }));
            return [
                text(p.label),
                box("X", "x"),
                box("Y", "y"),
                box("Heading", "heading"),
                button("Delete", ask({ ...request, planner: "removePlacement" })),
            ];
        });
        fillRows(this.$("#site-zones tbody"), site.zones, (z, zone) => {
            const edit = (field) => (v) => this.ask({ planner: "editZone", zone, field, [field]: v });
            const level = document.createElement("select");
            level.setAttribute("aria-label", `Level of ${z.name}`);
            level.append(...LEVELS.map((name) => new Option(name, name, false, name === z.level)));
            level.addEventListener("change", () => edit("level")(level.value));
            return [
                input("Zone name", z.name, edit("name"), "text"),
                level,
                input(`Required of ${z.name}`, z.required, (v) => edit("required")(+v)),
                text(z.percent),
                text(z.met ? "met" : "NOT MET"),
                button("Delete", ask({ planner: "removeZone", zone })),
            ];
        });
        fillRows(this.$("#site-walls tbody"), site.walls, (points, wall) => [
            text(`Wall ${wall + 1} (${points} points)`),
            button("Delete", ask({ planner: "removeWall", wall })),
        ]);
    }
}
