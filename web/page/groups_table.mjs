// SPDX-License-Identifier: MIT
// The planner's groups table as a virtualised grid: the rows in view and a margin around them are
// drawn, the others are only counted. Screen readers still learn every row: the grid tells its
// row count (aria-rowcount) and each drawn row its place in it (aria-rowindex), and the selected
// row, kept in view, is the grid's active row. The table keeps the texts of the rows it has been
// told of by position, moves them as groups are inserted, removed and moved, and asks for the
// rows it lacks when they come into view.
//
// Laying a table out by its contents takes every drawn cell, which made each keystroke in a name
// cost several milliseconds. So once laid out, the table keeps the column widths that gave (a
// fixed layout) and an edit lays out only its own row. It is laid out by its contents again when
// other rows are drawn, the frame is resized, other columns show, or an edited cell no longer
// fits its column.

// Rows drawn beyond the view on each side, so a small scroll shows rows already drawn.
const ROWS_BEYOND_VIEW = 20;
// Rows counted as in view before the table is on screen and can be measured.
const UNMEASURED_VIEW = 30;

export class GroupsTable {
    // rowsOf(from, to) answers the rows from..to-1 as [[position, texts]...]; on.select(row) and
    // on.edit(row, column) are the user's choice of a row and a double click on a cell.
    constructor(table, rowsOf, on) {
        this.m_table = table;
        this.m_frame = table.parentElement;
        this.m_body = table.tBodies[0];
        this.m_total = table.tFoot.rows[0];
        this.m_rowsOf = rowsOf;
        this.m_columns = [];
        this.m_texts = []; // by position; undefined where not known yet
        this.m_shown = []; // the texts each drawn row shows, by drawn row
        this.m_first = 0; // the position of the first drawn row
        this.m_selected = null;
        this.m_rowHeight = 0;
        this.m_scheduled = false;
        this.m_fitted = false; // the column widths fit the drawn rows
        this.m_edited = []; // cells whose text changed since the last render
        this.m_narrowRule = document.createElement("style");
        document.head.append(this.m_narrowRule);
        table.setAttribute("role", "grid");
        table.tHead.rows[0].setAttribute("aria-rowindex", "1");
        this.m_frame.addEventListener("scroll", () => this.renderSoon(), { passive: true });
        new ResizeObserver(() => {
            this.m_fitted = false;
            this.renderSoon();
        }).observe(this.m_frame);
        table.addEventListener("click", (event) => {
            const row = this.positionOf(event.target);
            if (row !== null && !event.target.closest("input")) {
                on.select(row);
            }
        });
        table.addEventListener("dblclick", (event) => {
            const cell = event.target.closest("tbody td");
            if (cell) {
                on.edit(this.positionOf(cell), cell.cellIndex - 1);
            }
        });
    }

    get count() {
        return this.m_texts.length;
    }

    get columns() {
        return this.m_columns;
    }

    // A whole new list of `count` groups under these columns.
    reset(columns, count) {
        this.m_columns = columns;
        const header = this.m_table.tHead.rows[0];
        header.replaceChildren(header.cells[0]);
        for (const column of columns) {
            const cell = document.createElement("th");
            cell.scope = "col";
            cell.textContent = column.header;
            header.append(cell);
        }
        // On a narrow screen only the columns marked narrow show, unless all are asked for.
        const wide = columns.flatMap((column, i) => (column.narrow ? [] : [`:nth-child(${i + 2})`]));
        this.m_narrowRule.textContent = wide.length
            ? `.narrow #${this.m_table.id}:not(.all-columns) tr > :is(${wide.join(", ")}) { display: none; }`
            : "";
        this.m_texts = new Array(count);
        this.m_shown = [];
        this.m_first = 0;
        this.m_body.replaceChildren();
        this.m_fitted = false;
        this.m_frame.scrollTop = 0;
    }

    // Groups inserted, removed and moved, as the core lists them, in order. The drawn rows move
    // with their groups, so only their numbers change.
    shift(shifts) {
        for (const shift of shifts) {
            if (shift.insert !== undefined) {
                this.insertAt(shift.insert, undefined);
            } else if (shift.remove !== undefined) {
                this.removeAt(shift.remove);
            } else {
                const moved = this.m_texts[shift.move];
                this.removeAt(shift.move);
                this.insertAt(shift.to, moved);
            }
        }
    }

    insertAt(row, texts) {
        this.m_texts.splice(row, 0, texts);
        const drawn = row - this.m_first;
        if (drawn < 0) {
            ++this.m_first;
        } else if (drawn < this.m_body.rows.length) {
            this.m_body.insertRow(drawn);
            this.m_shown.splice(drawn, 0, null);
            this.m_fitted = false;
        }
    }

    removeAt(row) {
        this.m_texts.splice(row, 1);
        const drawn = row - this.m_first;
        if (drawn < 0) {
            --this.m_first;
        } else if (drawn < this.m_body.rows.length) {
            this.m_body.deleteRow(drawn);
            this.m_shown.splice(drawn, 1);
            this.m_fitted = false;
        }
    }

    // Rows whose texts changed, as [position, texts].
    update(rows) {
        for (const [row, texts] of rows) {
            this.m_texts[row] = texts;
        }
    }

    select(row) {
        this.m_selected = row;
    }

    // The cells changed in a way the rows' texts do not tell (other columns show, an editor
    // opened in a cell): the table is laid out by its contents again.
    refit() {
        this.m_fitted = false;
        this.render();
    }

    showTotal(texts) {
        this.showCells(this.m_total, ["", ...texts]);
        this.m_total.setAttribute("aria-rowindex", String(this.count + 2));
    }

    // The drawn row of group `row` (scrolled into view first), or null.
    rowElement(row) {
        this.scrollTo(row);
        const drawn = row - this.m_first;
        return drawn >= 0 && drawn < this.m_body.rows.length ? this.m_body.rows[drawn] : null;
    }

    // Scrolls the frame just enough to show group `row`, and draws what is then in view.
    scrollTo(row) {
        if (row === null || row >= this.count) {
            return;
        }
        const height = this.rowHeight() || 20;
        const header = this.m_table.tHead.offsetHeight;
        const footer = this.m_table.tFoot.offsetHeight;
        const top = header + row * height;
        const frame = this.m_frame;
        if (top - header < frame.scrollTop) {
            frame.scrollTop = top - header;
        } else if (top + height + footer > frame.scrollTop + frame.clientHeight) {
            frame.scrollTop = top + height + footer - frame.clientHeight;
        }
        this.render();
    }

    // The group a drawn row or one of its cells shows, or null.
    positionOf(element) {
        const row = element.closest?.("tbody tr");
        return row && row.parentElement === this.m_body ? this.m_first + row.sectionRowIndex : null;
    }

    renderSoon() {
        if (!this.m_scheduled) {
            this.m_scheduled = true;
            requestAnimationFrame(() => {
                this.m_scheduled = false;
                this.render();
            });
        }
    }

    // Draws the rows in view and the margin around them: rows already drawn that show the same
    // texts are left alone, so an edit redraws only its own row.
    render() {
        const height = this.rowHeight() || 20;
        let [first, last] = this.inView(height);
        // A cell being edited is committed before its row may show another group (the commit
        // may draw the table itself).
        const editor = first !== this.m_first && this.m_body.querySelector("input");
        if (editor) {
            editor.blur();
            [first, last] = this.inView(height);
        }
        this.fetch(first, last);
        const count = this.count;
        // Scrolled: the rows still in view stay, the others go, the new ones come.
        const body = this.m_body;
        const scrolled = first - this.m_first;
        if (scrolled !== 0) {
            if (Math.abs(scrolled) >= body.rows.length) {
                body.replaceChildren();
                this.m_shown = [];
            }
            for (let k = 0; k < scrolled && body.rows.length > 0; ++k) {
                body.deleteRow(0);
                this.m_shown.shift();
            }
            for (let k = 0; k < -scrolled && body.rows.length > 0; ++k) {
                body.insertRow(0);
                this.m_shown.unshift(null);
            }
            this.m_first = first;
            this.m_fitted = false;
        }
        while (body.rows.length > last - first) {
            body.deleteRow(-1);
            this.m_shown.pop();
            this.m_fitted = false;
        }
        while (body.rows.length < last - first) {
            body.insertRow();
            this.m_shown.push(null);
            this.m_fitted = false;
        }
        for (let drawn = 0; drawn < last - first; ++drawn) {
            const row = first + drawn;
            const element = body.rows[drawn];
            const texts = this.m_texts[row];
            const number = String(row + 1);
            if (this.m_shown[drawn] !== texts) {
                this.m_shown[drawn] = texts;
                element.setAttribute("aria-rowindex", String(row + 2));
                this.showCells(element, [number, ...(texts ?? [])]);
            } else if (element.cells[0].dataset.text !== number) {
                element.setAttribute("aria-rowindex", String(row + 2));
                this.showCells(element, [number]);
            }
            const selected = row === this.m_selected;
            if (element.classList.contains("selected") !== selected || !element.hasAttribute("aria-selected")) {
                element.classList.toggle("selected", selected);
                element.setAttribute("aria-selected", String(selected));
                if (selected) {
                    element.id = "groups-selected";
                } else {
                    element.removeAttribute("id");
                }
            }
        }
        const selectedDrawn = this.m_selected !== null && this.m_selected >= first && this.m_selected < last;
        this.m_table.setAttribute("aria-rowcount", String(count + 2));
        if (selectedDrawn) {
            this.m_table.setAttribute("aria-activedescendant", "groups-selected");
        } else {
            this.m_table.removeAttribute("aria-activedescendant");
        }
        this.m_table.style.marginTop = `${first * height}px`;
        this.m_table.style.marginBottom = `${(count - last) * height}px`;
        const edited = this.m_edited;
        this.m_edited = [];
        if (!this.m_fitted || edited.some((cell) => cell.isConnected && cell.scrollWidth > cell.clientWidth)) {
            this.fitColumns();
        }
    }

    // Lays the table out by the drawn rows' contents, then keeps the column widths that gave.
    // Off screen (another view shows), the table has no widths to keep: it is laid out by its
    // contents until it shows again.
    fitColumns() {
        const table = this.m_table;
        const header = Array.from(table.tHead.rows[0].cells);
        table.style.tableLayout = "";
        for (const cell of header) {
            cell.style.width = "";
        }
        this.m_fitted = this.m_frame.clientWidth > 0;
        if (!this.m_fitted) {
            return;
        }
        const widths = header.map((cell) => cell.getBoundingClientRect().width);
        header.forEach((cell, i) => {
            cell.style.width = `${widths[i]}px`;
        });
        table.style.tableLayout = "fixed";
    }

    // The rows to draw, [first, last): those in view and a margin around them.
    inView(height) {
        const count = this.count;
        const frame = this.m_frame;
        const rows = frame.clientHeight > 0 ? Math.ceil(frame.clientHeight / height) : UNMEASURED_VIEW;
        const top = Math.floor(frame.scrollTop / height);
        const first = Math.max(0, Math.min(top, count - rows) - ROWS_BEYOND_VIEW);
        return [first, Math.min(count, Math.max(top, 0) + rows + ROWS_BEYOND_VIEW)];
    }

    // Asks once for the rows between first and last that are not known yet.
    fetch(first, last) {
        let from = first;
        while (from < last && this.m_texts[from] !== undefined) {
            ++from;
        }
        let to = last;
        while (to > from && this.m_texts[to - 1] !== undefined) {
            --to;
        }
        if (from < to) {
            this.update(this.m_rowsOf(from, to));
        }
    }

    // The height of one row, measured once a row is drawn (every row is one line high).
    rowHeight() {
        if (!this.m_rowHeight && this.m_body.rows.length > 0) {
            this.m_rowHeight = this.m_body.rows[0].getBoundingClientRect().height;
        }
        return this.m_rowHeight;
    }

    showCells(row, texts) {
        while (row.cells.length < texts.length) {
            const cell = document.createElement(row.cells.length === 0 ? "th" : "td");
            if (row.cells.length === 0) {
                cell.scope = "row";
            }
            cell.classList.toggle("words", Boolean(this.m_columns[row.cells.length - 1]?.words));
            row.append(cell);
        }
        texts.forEach((text, index) => {
            const cell = row.cells[index];
            if (cell.dataset.text !== text) {
                cell.dataset.text = text;
                this.m_edited.push(cell);
                if (!cell.querySelector("input")) {
                    cell.textContent = text;
                }
            }
        });
    }
}
