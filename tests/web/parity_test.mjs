// SPDX-License-Identifier: MIT
// lenstally.mjs against the native command line: the same outputs, byte for byte, with the same
// status, for the examples in every format, for broken projects, and for a few hundred generated
// action lists and projects. The option names and values come from `lenstally --help`.
//
//     LENSTALLY=build/bin/lenstally LENSTALLY_MJS=build/web/lenstally.mjs \
//     LENSTALLY_EXAMPLES=examples node --test tests/web/parity_test.mjs
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { readdirSync, readFileSync } from "node:fs";
import { join } from "node:path";
import { test } from "node:test";
import { pathToFileURL } from "node:url";

const native = process.env.LENSTALLY;
const examples = process.env.LENSTALLY_EXAMPLES;
const { runActions, runProject } = await import(pathToFileURL(process.env.LENSTALLY_MJS).href);

function lenstally(args, input = "") {
    const run = spawnSync(native, args, { input, encoding: "utf8", env: {} });
    return { status: run.status, stdout: run.stdout, stderr: run.stderr };
}

// A small fixed-seed generator, so a failure names a case that can be run again.
function generator(seed) {
    let state = seed >>> 0;
    const next = () => {
        state = (Math.imul(state, 1664525) + 1013904223) >>> 0;
        return state / 2 ** 32;
    };
    const pick = (list) => list[Math.floor(next() * list.length)];
    return { next, pick, chance: (p) => next() < p };
}

// The actions as --help lists them: name, kind of value, and the names or range it allows.
let helped = null;
function helpActions() {
    if (helped) {
        return helped;
    }
    const actions = [];
    for (const line of lenstally(["--help"]).stdout.split("\n")) {
        const match = /^\s+--([a-z-]+) (NAME|N|TEXT)\s+.*\(([^)]*)\)$/.exec(line);
        if (match) {
            const [, option, kind, allowed] = match;
            const range = /^(\d+)-(\d+)$/.exec(allowed);
            actions.push({
                option,
                kind,
                names: kind === "NAME" ? allowed.split("|") : [],
                high: range ? Number(range[2]) : 0,
            });
        }
    }
    helped = actions;
    return actions;
}

const TEXTS = ["1", "12", "0", "7.5", "1e3", "1e400", "-3", "", " 8 ", "abc", "1,5", "0x10", "é", "3.", ".5", "2e-320", "999999999999"];

// A value for the action: a bad one (a name or number it does not allow) with chance `bad`.
function valueFor(action, random, bad) {
    if (action.kind === "NAME") {
        const name = random.pick(action.names);
        return random.chance(bad) ? "bogus" : random.chance(0.2) ? name.toUpperCase() : name;
    }
    if (action.kind === "N") {
        return random.chance(bad)
            ? random.pick(["0", String(action.high + 1), "x", "2.5"])
            : String(1 + Math.floor(random.next() * action.high));
    }
    return random.pick(TEXTS);
}

// One command-line argument per action; "--option=value" keeps a value such as "-3" a value.
function argumentsOf(pairs) {
    return pairs.flatMap(([option, value]) => (value === "" ? [`--${option}`, ""] : [`--${option}=${value}`]));
}

const FLAGS = { text: [], json: ["--json"], state: ["--state"] };
const REPORTS = { table: [], json: ["--json"], csv: ["--csv"] };

test("generated action lists give the command line's outputs and status", () => {
    const actions = helpActions();
    assert.ok(actions.length >= 11, "the actions are read from --help");
    const random = generator(19);
    for (let run = 0; run < 200; ++run) {
        const pairs = [];
        const count = Math.floor(random.next() * 7);
        for (let i = 0; i < count; ++i) {
            const action = random.pick(actions);
            pairs.push([action.option, valueFor(action, random, 0.05)]);
        }
        const format = random.pick(Object.keys(FLAGS));
        const expected = lenstally([...argumentsOf(pairs), ...FLAGS[format]]);
        const got = runActions(pairs, format);
        if (pairs.length === 0 && format === "text") {
            // With no option the command line opens its window; there is no display here.
            assert.equal(got.status, 3);
            assert.equal(got.stdout, "");
            assert.match(got.stderr, /^lenstally: no display to open the window on; .*\n$/);
            continue;
        }
        assert.deepEqual(got, expected, `run ${run}: ${JSON.stringify(pairs)} ${format}`);
    }
});

// A project file's text; one in five has a value its checks refuse somewhere.
function generatedProject(random) {
    const actions = helpActions();
    const bad = random.chance(0.2) ? 0.1 : 0;
    const project = {};
    if (random.chance(0.7)) {
        project.name = random.pick(["Site", "Dépôt \"Nord\"", "", "=cmd"]);
    }
    project.groups = [];
    const groups = random.chance(0.05) ? 0 : 1 + Math.floor(random.next() * 5);
    for (let g = 0; g < groups; ++g) {
        const group = { name: random.pick([`Group ${g + 1}`, "Gate, east", "", "Ω"]) };
        for (const action of actions) {
            if (random.chance(0.4)) {
                const value = valueFor(action, random, bad);
                group[action.option] =
                    action.kind !== "NAME" && /^\d+$/.test(value) && random.chance(0.5) ? Number(value) : value;
            }
        }
        if (random.chance(0.3)) {
            group.activity = random.pick(bad ? [101, "50"] : [0, 35, 100, 12.5]);
        }
        if (random.chance(0.3)) {
            group.view = random.pick(
                bad
                    ? [{ distance: 0, hfov: 90 }, { distance: 5, hfov: 180 }, { distance: 5 }, { distance: 5, hfov: 60, focal: 4 }]
                    : [{ distance: 12, hfov: 45 }, { distance: 25, focal: 4, sensor: 6.17 }, { distance: 0.5, hfov: 179.5 }],
            );
            if (random.chance(0.5)) {
                group.pixels = random.pick(bad ? [0, 1.5] : [640, 3840, "1920"]);
            }
            if (random.chance(0.3)) {
                group.camera = random.pick(["4K bullet, H.265", "=HYPERLINK(1)", "x".repeat(bad ? 201 : 200)]);
            }
        }
        if (bad && random.chance(0.2)) {
            group.unknown = 1;
        }
        project.groups.push(group);
    }
    if (random.chance(0.5)) {
        project.storage = { drive: random.pick(bad ? ["8 XB", -1] : ["8 TB", "3.84TB", "1 TiB", 12]) };
        for (const [key, values] of [
            ["raid", [0, 1, 5, 6, 10]],
            ["spares", [0, 1, 2]],
            ["overhead", [0, 2.5, 10]],
            ["fill", [95, 100, 50]],
            ["drives", [12, 24, 100]],
        ]) {
            if (random.chance(0.5)) {
                project.storage[key] = random.pick(values);
            }
        }
        // Arrays only where the level has them (RAID 5 and 6), at least 4 drives wide.
        if ([5, 6].includes(project.storage.raid) && random.chance(0.5)) {
            project.storage["array-width"] = random.pick([4, 8, 12]);
        }
    }
    if (random.chance(0.4)) {
        project.recorder = {};
        for (const [key, values] of [
            ["channels", [16, 32]],
            ["mbps", [320, 100.5]],
            ["bays", [8, 4]],
        ]) {
            if (random.chance(0.6) && (key !== "bays" || project.storage)) {
                project.recorder[key] = random.pick(values);
            }
        }
    }
    return JSON.stringify(project, null, random.chance(0.5) ? 2 : 0);
}

test("examples, broken projects and generated projects give the command line's reports", () => {
    const texts = readdirSync(examples)
        .filter((name) => name.endsWith(".json"))
        .map((name) => readFileSync(join(examples, name), "utf8"));
    assert.ok(texts.length >= 3, "the examples are found");
    texts.push("{", "[]", '{"groups": [{"name": "A", "fps": 31}]}', '{"groups": []}', "\u00ff");
    const random = generator(1919);
    for (let i = 0; i < 120; ++i) {
        texts.push(generatedProject(random));
    }
    let reports = 0;
    let refused = 0;
    for (const [index, text] of texts.entries()) {
        for (const [format, flags] of Object.entries(REPORTS)) {
            const expected = lenstally(["--project", "-", ...flags], text);
            assert.deepEqual(runProject(text, format), expected, `project ${index} ${format}: ${text}`);
            expected.status === 2 ? ++refused : ++reports;
        }
    }
    // Both the reports and the refusals are exercised, not one of them only.
    assert.ok(reports > 200 && refused > 40, `${reports} reports, ${refused} refusals`);
});
