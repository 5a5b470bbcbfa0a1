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

// A box whose every keystroke is an edit; once left, it shows what the core made of the typing
// (a heading of 400 turns the camera to 40, an emptied box keeps the figure it had): value() is
// the figure on screen now.
function input(label, value, change, type = "number") {
    const box = Object.assign(document.createElement("input"), { type, step: "any", value: value() });
    box.setAttribute("aria-label", label);
    box.addEventListener("input", () => box.value !== "" && change(box.value));
    box.addEventListener("change", () => (box.value = value() ?? box.value));
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
        this.m_mode = null; // "camera", "wall", "zone", "scale" or null
        this.m_points = []; // the wall or zone being drawn, or the scale's two points, in metres
        // The item picked: {placement: [group, index]}, or {zone: i} or {wall: i} with its points
        // (corners, in metres) and the one picked among them (point).
        this.m_pick = null;
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
        for (const mode of ["camera", "wall", "zone", "scale"]) {
            on(mode, () => this.setMode(this.m_mode === mode ? null : mode));
        }
        on("delete", () => this.remove());
        on("remove", () => this.ask({ planner: "removeSite" }));
        this.$("#site-scale-metres").addEventListener("change", (e) => {
            const [a, b] = this.m_points;
            if (b && +e.target.value > 0) {
                this.ask({ planner: "scaleSite", a, b, metres: +e.target.value });
                this.setMode(null);
            }
        });
        this.$("#site-points").addEventListener("change", (e) => {
            this.ask({ planner: "pointsText", ...this.pickedOutline(), text: e.target.value });
            this.m_planner.m_ask({ planner: "closeStep" }); // entered whole: a step of its own
        });
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
        for (const what of ["camera", "wall", "zone", "scale"]) {
            this.button(what).setAttribute("aria-pressed", String(what === mode));
        }
        this.$("#site-scale-field").hidden = true;
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

    // Follows the pointer until it is let go, one move a frame at most: the first move of a frame
    // at once, and of the moves that come later in it the last, with the next frame. `then` once
    // it is let go, after the last move.
    follow(move, then) {
        this.m_planner.m_ask({ planner: "closeStep" }); // a drag is a step of its own
        let pending = null;
        let moved = false; // in this frame
        const take = (e) => {
            move(e);
            moved = true;
            requestAnimationFrame(() => {
                moved = false;
                const next = pending;
                pending = null;
                if (next) {
                    take(next);
                }
            });
        };
        const onMove = (e) => {
            if (moved) {
                pending = e;
            } else {
                take(e);
            }
        };
        const onUp = () => {
            this.m_svg.removeEventListener("pointermove", onMove);
            this.m_svg.removeEventListener("pointerup", onUp);
            if (pending) {
                move(pending);
                pending = null;
            }
            // The drag is one step; the next drag of the same thing is another.
            this.m_planner.m_ask({ planner: "closeStep" });
            then?.();
        };
        this.m_svg.addEventListener("pointermove", onMove);
        this.m_svg.addEventListener("pointerup", onUp);
    }

    press(event) {
        this.m_plan.focus();
        const handle = event.target.dataset ?? {};
        const at = this.metresAt(event);
        // The tool in use takes the click, wherever it lands; without one, a handle is dragged.
        if (this.m_mode === "scale") {
            this.m_points = [...this.m_points, at].slice(-2);
            if (this.m_points.length === 2) {
                // Prefilled with the distance as the plan stands: the user types the true one.
                const [[x1, y1], [x2, y2]] = this.m_points;
                const field = this.$("#site-scale-field");
                field.hidden = false;
                const metres = this.$("#site-scale-metres");
                metres.value = +Math.hypot(x2 - x1, y2 - y1).toPrecision(6);
                // Once the click is over: it would take the focus back to the plan.
                setTimeout(() => {
                    metres.focus();
                    metres.select();
                });
            }
        } else if (this.m_mode === "camera") {
            this.ask({ planner: "placeCamera", group: this.m_planner.m_last.selected, x: at[0], y: at[1], heading: 0 });
        } else if (this.m_mode) {
            this.m_points.push(at);
        } else if (handle.point !== undefined && this.m_pick?.points) {
            this.m_pick.point = +handle.point;
            const request = { planner: "movePoint", ...this.pickedOutline(), point: this.m_pick.point, drawing: false };
            this.follow(
                (e) => {
                    const [x, y] = this.metresAt(e);
                    this.ask({ ...request, x, y });
                },
                () => this.show(this.m_planner.m_ask({ planner: "site" }).site),
            );
        } else if (handle.placement) {
            const p = this.m_site.placements[handle.placement];
            this.pick({ placement: [p.group, p.index] });
            // The whole drawing follows once the camera is let go: a large plan takes longer to
            // draw than a frame, so the drag moves the handles, the figures and the camera's own
            // view alone.
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
        } else if (this.outlineOf(event.target)) {
            this.pick(this.outlineOf(event.target));
        } else {
            this.pick(null);
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

    // The wall or zone a drawn element is: {zone: i}, {wall: i} or null.
    outlineOf(element) {
        const group = element.parentNode?.id;
        if ((group !== "zones" && group !== "walls") || !this.m_drawing.contains(element)) {
            return null;
        }
        const i = Array.prototype.indexOf.call(element.parentNode.children, element);
        return group === "zones" ? { zone: i } : { wall: i };
    }

    // Picks `item` (an outline, a camera or null); an outline's points come with it, and its
    // points box shows them.
    pick(item) {
        this.m_pick = item;
        if (item && (item.zone !== undefined || item.wall !== undefined)) {
            const answer = this.m_planner.m_ask({ planner: "sitePoints", ...item });
            if (answer.error) {
                this.m_pick = null;
            } else {
                item.points = answer.points;
                item.text = answer.text;
                item.point = item.point < answer.points.length ? item.point : undefined;
            }
        }
        const { zone, wall, text } = this.m_pick ?? {};
        const field = this.$("#site-points-field");
        field.hidden = text === undefined;
        if (text !== undefined) {
            const name = wall !== undefined ? `Wall ${wall + 1}` : this.m_site.zones[zone]?.name;
            this.$("#site-points-name").textContent = `Points of ${name}`;
            const box = this.$("#site-points");
            if (document.activeElement !== box) {
                box.value = text;
            }
        }
        this.drawHandles();
    }

    // The picked wall or zone as a request names it: { wall } or { zone }.
    pickedOutline() {
        const { zone, wall } = this.m_pick ?? {};
        return wall !== undefined ? { wall } : { zone };
    }

    remove() {
        const { placement, zone, wall, point } = this.m_pick ?? {};
        const outline = this.pickedOutline();
        if (point !== undefined) {
            this.m_pick.point = undefined;
            this.ask({ planner: "removePoint", ...outline, point });
            return;
        }
        // Nothing stays picked: the items after it move up a place.
        this.pick(null);
        if (placement) {
            this.ask({ planner: "removePlacement", group: placement[0], index: placement[1] });
        } else if (zone !== undefined || wall !== undefined) {
            this.ask({ planner: wall !== undefined ? "removeWall" : "removeZone", ...outline });
        }
    }

    // Shows the site part of an answer: null for no plan.
    show(site) {
        this.m_site = site;
        this.$("#site-start").hidden = Boolean(site);
        this.$("#site-body").hidden = !site;
        if (!site) {
            this.m_pick = null;
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
            if (site.view) {
                // The dragged camera's view, redrawn alone until the whole drawing is.
                const { placement, svg } = site.view;
                const wrapped = `<svg xmlns="http://www.w3.org/2000/svg">${svg}</svg>`;
                const view = new DOMParser().parseFromString(wrapped, "image/svg+xml").documentElement.firstElementChild;
                this.m_drawing.querySelector("#views")?.children[placement]?.replaceWith(document.importNode(view, true));
            }
        }
        this.m_svgText = site.svg;
        if (this.m_pick && !this.m_pick.placement) {
            this.pick(this.m_pick); // its points as they are now, or none where it is gone
        }
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
        (this.m_pick?.points ?? []).forEach(([x, y], k) => {
            const picked = k === this.m_pick.point ? " picked" : "";
            handles.push(svgElement("rect", { x: px(x) - 5, y: px(y) - 5, width: 10, height: 10, "data-point": k, class: `point${picked}` }));
        });
        const points = this.m_points.map(([x, y]) => `${px(x)},${px(y)}`).join(" ");
        handles.push(svgElement("polyline", { points, class: "drawing" }));
        this.m_handles.replaceChildren(...handles);
    }

    showList() {
        const site = this.m_site;
        const ask = (request) => () => this.ask(request);
        // Picks the wall or zone and takes the keyboard to its points.
        const points = (item, name) => {
            const b = button("Points", () => {
                this.pick(item);
                this.$("#site-points").focus();
            });
            b.setAttribute("aria-label", `Points of ${name}`);
            return b;
        };
        const text = (t) => document.createTextNode(t);
        fillRows(this.$("#site-cameras tbody"), site.placements, (p, i) => {
            const request = { planner: "editPlacement", group: p.group, index: p.index };
            const now = (field) => () => this.m_site?.placements[i]?.[field];
            const box = (name, field) =>
                input(`${name} of ${p.label}`, now(field), (v) => this.ask({ ...request, field, [field]: +v }));
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
            const now = (field) => () => this.m_site?.zones[zone]?.[field];
            const level = document.createElement("select");
            level.setAttribute("aria-label", `Level of ${z.name}`);
            level.append(...LEVELS.map((name) => new Option(name, name, false, name === z.level)));
            level.addEventListener("change", () => edit("level")(level.value));
            return [
                input("Zone name", now("name"), edit("name"), "text"),
                level,
                input(`Required of ${z.name}`, now("required"), (v) => edit("required")(+v)),
                text(z.percent),
                text(z.met ? "met" : "NOT MET"),
                points({ zone }, z.name),
                button("Delete", ask({ planner: "removeZone", zone })),
            ];
        });
        fillRows(this.$("#site-walls tbody"), site.walls, (count, wall) => [
            text(`Wall ${wall + 1} (${count} points)`),
            points({ wall }, `Wall ${wall + 1}`),
            button("Delete", ask({ planner: "removeWall", wall })),
        ]);
    }
}
