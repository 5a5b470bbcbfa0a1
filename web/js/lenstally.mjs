// SPDX-License-Identifier: MIT
// Lenstally's engine as a JavaScript module, for node (18 and later) and browsers: the command
// line's calculator runs and project reports, with its exact outputs.
//
//     import { runActions, runProject } from "./lenstally.mjs";
//     runActions([["stream", "h264"], ["cameras", "12"]], "json");
//     // {status: 0, stdout: "{\"txtFrameSize\":...}\n", stderr: ""}
//     runProject(projectFileText, "csv");
//
// Both answer {status, stdout, stderr} as `lenstally --stream h264 --cameras 12 --json` and
// `lenstally --project - --csv` (the project on standard input; "svg" as --svg) would, byte for byte once the
// texts are encoded as UTF-8; nothing is written to the console. The engine is compiled when the
// module is imported.

import { Core } from "./core.mjs";
import { INLINED_MODULE } from "./inlined_module.mjs";
import { compileInlined } from "./module_loader.mjs";

const engine = new Core(await compileInlined(INLINED_MODULE));
const ACTION_OUTPUTS = { text: 0, json: 1, state: 2 };
const PROJECT_OUTPUTS = { table: 0, json: 1, csv: 2, svg: 3 };

function run(exported, request, format, formats) {
    if (!Object.hasOwn(formats, format)) {
        throw new TypeError(`format must be one of ${Object.keys(formats).join(", ")}`);
    }
    const { result, output, errors } = engine.call(exported, request, formats[format]);
    return { status: result, stdout: output, stderr: errors };
}

// pairs: the command line's actions in order, [["stream", "h264"], ["cameras", "12"]];
// format: "text", "json" or "state".
export function runActions(pairs, format = "text") {
    return run("lenstally_run_actions", JSON.stringify(pairs), format, ACTION_OUTPUTS);
}

// text: a project file's text, or its bytes as a Uint8Array (a node Buffer from readFileSync,
// say), read exactly as the command line reads the file; format: "table", "json", "csv" or "svg"
// (the site plan's drawing, as --svg prints it).
export function runProject(text, format = "table") {
    const request = text instanceof Uint8Array ? text : String(text);
    return run("lenstally_run_project", request, format, PROJECT_OUTPUTS);
}
