// SPDX-License-Identifier: MIT
// The calculator's controls in the page, built from the core's description of its form and
// kept equal to it: each user action goes to the core (through `act`), which answers with the
// controls that changed, and only those are redrawn. At the window's width every control sits
// where the window has it; narrower, the same elements flow in one column, because the document
// holds them in tab order (a label just before the input it names).

// The DOM order of a container's controls: by tab index, a label just before the input it
// names (an option button's just after it), a unit or result caption after the control to its
// left on the same row, and anything else (frames without inputs too) last, in reading order.
function flowOrder(controls) {
    const namedBy = new Map();
    for (const control of controls) {
        if (control.label) {
            namedBy.set(control.label, control);
        }
    }
    const keys = new Map();
    const keyOf = (control) => {
        if (keys.has(control.name)) {
            return keys.get(control.name);
        }
        let key = Infinity;
        const input = namedBy.get(control.name);
        if (control.kind === "option") {
            // A group's option buttons in the order the window shows them, row by row (their tab
            // indexes run the other way), where the group's first tab stop is.
            const group = controls.filter((o) => o.kind === "option" && o.container === control.container);
            group.sort((a, b) => a.top - b.top || a.left - b.left);
            key = Math.min(...group.map((o) => o.tabIndex)) + group.indexOf(control) / (2 * group.length);
        } else if (control.tabIndex >= 0) {
            key = control.tabIndex;
        } else if (input) {
            key = input.kind === "option" ? keyOf(input) + 1 / 64 : input.tabIndex - 0.5;
        } else if (control.kind === "frame") {
            const inside = controls.filter((other) => other.container === control.name);
            key = Math.min(Infinity, ...inside.map(keyOf));
        } else {
            // The nearest control to the left on the same row that has a place in tab order.
            const row = controls.filter(
                (other) =>
                    other.container === control.container &&
                    other.left < control.left &&
                    other.top < control.top + control.height &&
                    control.top < other.top + other.height &&
                    (other.tabIndex >= 0 || namedBy.has(other.name)),
            );
            row.sort((a, b) => b.left - a.left);
            key = row.length ? keyOf(row[0]) + 0.75 : Infinity;
        }
        keys.set(control.name, key);
        return key;
    };
    controls.forEach(keyOf);
    return (a, b) => keys.get(a.name) - keys.get(b.name) || a.top - b.top || a.left - b.left;
}

function element(tag, className, text) {
    const made = document.createElement(tag);
    made.className = className;
    if (text !== undefined) {
        made.textContent = text;
    }
    return made;
}

export class CalculatorView {
    // act(request) sends a user action to the core and returns its answer; prefix keeps the
    // element ids of two views of one page apart.
    constructor(root, description, act, prefix = "c-") {
        this.m_act = act;
        this.m_prefix = prefix;
        this.m_elements = new Map();
        this.m_root = root;
        this.build(description);
    }

    build(description) {
        const id = (name) => `${this.m_prefix}${name.replace(/[()]/g, "")}`;
        const form = element("div", "form");
        form.style.width = `${description.width}px`;
        form.style.height = `${description.height}px`;
        const title = element("h2", "form-title", description.title.trim());
        this.m_title = title;
        const containers = new Map([["Form1", form]]);
        const ordered = [...description.controls].sort(flowOrder(description.controls));
        // Containers come first in the description; lay every control into its container.
        for (const control of description.controls) {
            let made;
            switch (control.kind) {
                case "frame": {
                    made = element("div", "frame");
                    made.setAttribute("role", "group");
                    const caption = element("span", "frame-title", control.caption);
                    caption.id = `${id(control.name)}-title`;
                    made.setAttribute("aria-labelledby", caption.id);
                    made.append(caption);
                    containers.set(control.name, made);
                    break;
                }
                case "label":
                    made = element("span", "label", control.caption);
                    break;
                case "textbox":
                    made = element("input", "textbox");
                    made.type = "text";
                    made.spellcheck = false;
                    made.autocomplete = "off";
                    made.addEventListener("input", () =>
                        this.act({ do: "type", control: control.name, text: made.value }),
                    );
                    break;
                case "combobox":
                    made = element("select", "combobox");
                    made.addEventListener("change", () =>
                        this.act({ do: "pick", control: control.name, index: made.selectedIndex }),
                    );
                    break;
                case "option":
                    made = element("input", "option");
                    made.type = "radio";
                    made.name = `${this.m_prefix}${control.container}`;
                    made.addEventListener("change", () => {
                        if (made.checked) {
                            this.act({ do: "select", control: control.name });
                        }
                    });
                    break;
                default:
                    continue;
            }
            made.id = id(control.name);
            made.dataset.control = control.name;
            if (control.tabIndex >= 0) {
                // The window's tab order; 0 would mean "in document order", so one is added.
                made.tabIndex = control.tabIndex + 1;
            }
            // A frame's font is its title's; the controls inside have their own.
            const face = control.kind === "frame" ? made.firstChild : made;
            face.classList.toggle("bold", control.bold);
            if (control.points !== 8.25) {
                face.style.fontSize = `${control.points}pt`;
            }
            if (control.description) {
                made.setAttribute("aria-description", control.description);
            }
            this.m_elements.set(control.name, { made, kind: control.kind });
            this.show(control);
        }
        for (const control of description.controls) {
            const { made } = this.m_elements.get(control.name) ?? {};
            if (made && control.accessibleName) {
                made.setAttribute("aria-label", control.accessibleName);
            }
        }
        for (const control of ordered) {
            const entry = this.m_elements.get(control.name);
            if (entry) {
                containers.get(control.container).append(entry.made);
            }
        }
        this.m_root.replaceChildren(title, form);
        // Each label with the input it names in the same frame.
        this.m_labelled = description.controls
            .filter((c) => c.label && description.controls.some((l) => l.name === c.label && l.container === c.container))
            .map((c) => [c.label, c.name]);
        this.fitLabels();
    }

    // A label whose text would reach into the input it names, to its right, wraps before it
    // instead (the window's font and the page's differ slightly in width).
    fitLabels() {
        for (const [label, input] of this.m_labelled) {
            const l = this.m_elements.get(label)?.made;
            const i = this.m_elements.get(input)?.made;
            if (!l || !i) {
                continue;
            }
            const left = parseFloat(l.style.left);
            const room = parseFloat(i.style.left) - left - 4;
            const sameRow = Math.abs(parseFloat(i.style.top) - parseFloat(l.style.top)) < parseFloat(l.style.height);
            l.style.maxWidth = sameRow && room > 0 && room < parseFloat(l.style.width) ? `${room}px` : "";
        }
    }

    act(request) {
        const answer = this.m_act(request);
        for (const state of answer.changed ?? []) {
            this.show(state);
        }
        this.fitLabels();
    }

    // Mirrors a control's state (see controlState in the module) into its element.
    show(state) {
        if (state.name === "Form1") {
            this.m_title.textContent = state.caption.trim();
            return;
        }
        const entry = this.m_elements.get(state.name);
        const { made, kind } = entry;
        // What the user changes (a box's text, a pick, a button) is set every time; the rest only
        // when it is not what the element already shows (another group's form often is).
        const shown = JSON.stringify(state);
        if (entry.shown !== shown) {
            entry.shown = shown;
            made.hidden = !state.visible;
            made.style.left = `${state.left}px`;
            made.style.top = `${state.top}px`;
            made.style.width = `${state.width}px`;
            made.style.height = `${state.height}px`;
            if (kind === "frame") {
                made.firstChild.textContent = state.caption;
            } else if (kind === "label") {
                made.textContent = state.caption;
            } else if (kind === "combobox" && state.items) {
                const same =
                    made.options.length === state.items.length &&
                    state.items.every((item, index) => made.options[index].text === item);
                if (!same) {
                    made.replaceChildren(...state.items.map((item) => new Option(item)));
                }
            }
        }
        if (kind === "textbox" && made.value !== state.text) {
            // Typing keeps its caret: an equal text is left alone.
            made.value = state.text;
        } else if (kind === "combobox") {
            made.selectedIndex = state.listIndex;
        } else if (kind === "option") {
            made.checked = state.value;
        }
    }

    // The texts of the controls, by name: what a test or the planner reads back.
    text(name) {
        const { made, kind } = this.m_elements.get(name);
        return kind === "textbox" ? made.value : made.textContent;
    }
}
