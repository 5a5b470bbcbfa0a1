// SPDX-License-Identifier: MIT
// lenstally.mjs against the native command line: the same outputs, byte for byte, with the same
// status, for the examples in every format, for broken projects, for a few hundred generated
// action lists and projects, for thousands of random camera views (whose figures go through tan
// and atan) and for project files holding bytes that are not UTF-8. The module's texts are encoded
// as UTF-8 and compared with the bytes the program wrote. The option names and values come from
// `lenstally --help`.
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

// The program's status and the bytes it wrote, as Buffers.
function lenstally(args, input = "") {
    const run = spawnSync(native, args, { input, env: {}, maxBuffer: 1 << 30 });
    return { status: run.status, stdout: run.stdout, stderr: run.stderr };
}

// A stretch of bytes around `at`, every byte that is not printable ASCII as \xNN.
function excerpt(bytes, at) {
    const part = bytes.subarray(Math.max(0, at - 40), at + 40);
    const shown = (b) => (b >= 0x20 && b < 0x7f ? String.fromCharCode(b) : `\\x${b.toString(16).padStart(2, "0")}`);
    return [...part].map(shown).join("");
}

// The module's answer has the program's status, and its texts encoded as UTF-8 are the very bytes
// the program wrote.
function assertSameBytes(got, expected, message) {
    assert.equal(got.status, expected.status, `${message}: status; stderr ${excerpt(expected.stderr, 0)}`);
    for (const stream of ["stdout", "stderr"]) {
        const bytes = Buffer.from(got[stream], "utf8");
        if (!bytes.equals(expected[stream])) {
            let at = 0;
            while (at < bytes.length && bytes[at] === expected[stream][at]) {
                ++at;
            }
            assert.fail(
                `${message}: ${stream} differs at byte ${at}\n  module:  ${excerpt(bytes, at)}\n` +
                    `  program: ${excerpt(expected[stream], at)}`,
            );
        }
    }
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
    for (const line of lenstally(["--help"]).stdout.toString("utf8").split("\n")) {
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
const REPORTS = { table: [], json: ["--json"], csv: ["--csv"], svg: ["--svg"] };

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
        assertSameBytes(got, expected, `run ${run}: ${JSON.stringify(pairs)} ${format}`);
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
    if (random.chance(0.35)) {
        // A site plan, with some of the cameras of the groups with a view placed on it (the SVG
        // draws it; the other reports give its figures).
        const width = random.pick([80, 40.5]);
        const height = random.pick([50, 30]);
        const at = (size) => Math.round(random.next() * size * 100) / 100;
        project.site = {
            width,
            height,
            walls: random.chance(0.7) ? [[[0, 20], [30, 20], [30, 28]], [[35, 0], [35, 10]]] : [],
            zones: [
                { name: random.pick(["Main gate", "</text>&<script>", "Ω"]), level: random.pick(["Identify", "Detect"]),
                  points: [[2, 6], [10, 6], [10, 12], [2, 12]], required: random.pick([100, 35.5]) },
                { name: "Yard", level: "Monitor", points: [[20, 22], [40, 22], [30, 29.5]] },
            ],
        };
        if (random.chance(0.3)) {
            project.site.image = "data:image/svg+xml,%3Csvg%20xmlns='http://www.w3.org/2000/svg'/%3E";
        }
        for (const group of project.groups.filter((g) => g.view && random.chance(0.8))) {
            group.placements = [];
            for (let i = 0; i < 1 + Math.floor(random.next() * 2); ++i) {
                const placement = { x: at(width), y: at(height), heading: Math.floor(random.next() * 3600) / 10 };
                if (random.chance(0.3)) {
                    placement.label = random.pick(["Gate <east>", "Dock & yard"]);
                }
                group.placements.push(placement);
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
    let drawings = 0;
    for (const [index, text] of texts.entries()) {
        for (const [format, flags] of Object.entries(REPORTS)) {
            const expected = lenstally(["--project", "-", ...flags], text);
            assertSameBytes(runProject(text, format), expected, `project ${index} ${format}: ${text}`);
            expected.status === 2 ? ++refused : ++reports;
            drawings += format === "svg" && expected.status !== 2 ? 1 : 0;
        }
    }
    // Both the reports and the refusals are exercised, not one of them only, and sites are drawn.
    assert.ok(reports > 200 && refused > 40, `${reports} reports, ${refused} refusals`);
    assert.ok(drawings > 10, `${drawings} site plans drawn`);
});

// A project of `count` groups, each a camera view drawn at random over what a view allows: the
// picture's width, the distance, and the lens as an angle or as a focal length on a sensor, half
// of them as a user types them (a few decimals), half with every bit of a double.
function randomViews(random, count) {
    const between = (low, high) => low + (high - low) * random.next();
    const spread = (low, high) => Math.min(high, Math.max(low, Math.exp(between(Math.log(low), Math.log(high)))));
    const groups = [];
    for (let i = 0; i < count; ++i) {
        const typed = random.chance(0.5);
        const places = (value, digits) => (typed ? Number(value.toFixed(digits)) : value);
        const view = { distance: Math.max(0.01, places(spread(0.01, 100000), 2)) };
        if (random.chance(0.5)) {
            view.hfov = places(between(0.1, 179.9), 1);
        } else {
            view.focal = Math.max(0.01, places(spread(0.01, 1000), 2));
            view.sensor = Math.max(0.01, places(spread(0.01, 1000), 2));
        }
        const pixels = random.chance(0.5)
            ? random.pick([176, 704, 1280, 1920, 2560, 3840])
            : 1 + Math.floor(random.next() * 100000);
        groups.push({ name: `View ${i + 1}`, stream: "h264", pixels, view });
    }
    return JSON.stringify({ name: "Random views", groups });
}

test("thousands of random camera views give the command line's figures to the last bit", () => {
    const random = generator(2026);
    const project = randomViews(random, 3000);
    for (const format of ["json", "csv"]) {
        const expected = lenstally(["--project", "-", `--${format}`], project);
        assert.equal(expected.status, 0, expected.stderr.toString("utf8"));
        assertSameBytes(runProject(project, format), expected, `3000 random views, ${format}`);
    }
});

// Bytes that are not UTF-8 (a lead byte without its continuation, a stray continuation, an
// overlong form, a surrogate, a code point above U+10FFFF, a sequence cut short) wherever a
// project file can hold them; the message quotes them, the same in both.
test("project files holding bytes that are not UTF-8 give the command line's messages", () => {
    const sequences = [
        [0xc3, 0x28],
        [0x80],
        [0xff],
        [0xc0, 0xaf],
        [0xed, 0xa0, 0x80],
        [0xf4, 0x90, 0x80, 0x80],
        [0xe2, 0x82],
    ];
    const places = [
        '{"groups":[{"name":"@"}]}',
        '{"groups":[{"name":"a","@":1}]}',
        '{"name":"@","groups":[]}',
        '{"groups":[{"name":"a","stream":"@"}]}',
        '{"groups":[{"name":"a","cameras":@}]}',
        '{"groups":[{"name":"a"}]} @',
        '{"groups":[{"name":"a@',
    ];
    for (const sequence of sequences) {
        for (const place of places) {
            const [before, after] = place.split("@");
            const bytes = Buffer.concat([Buffer.from(before), Buffer.from(sequence), Buffer.from(after)]);
            // Refused before any report is written: one format is enough.
            const expected = lenstally(["--project", "-", "--json"], bytes);
            assert.equal(expected.status, 2, `${excerpt(bytes, 0)} is refused`);
            assertSameBytes(runProject(bytes, "json"), expected, excerpt(bytes, 0));
        }
    }
});
