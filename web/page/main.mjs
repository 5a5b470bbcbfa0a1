// SPDX-License-Identifier: MIT
// The page: compiles the inlined core, shows the calculator as the core describes it, and marks
// the moment the first complete set of figures is on screen ("lenstally-figures").

import { Core } from "../js/core.mjs";
import { INLINED_MODULE } from "./inlined_module.mjs";
import { compileInlined } from "../js/module_loader.mjs";
import { CalculatorView } from "./calculator_view.mjs";

const core = new Core(await compileInlined(INLINED_MODULE));
const calculator = new CalculatorView(
    document.getElementById("calculator"),
    core.page({ calculator: "open" }),
    (request) => core.page({ calculator: "act", ...request }),
);
// The window's width and the page's: narrower than the window, the controls flow in one column.
const form = document.querySelector("#calculator .form");
const narrow = window.matchMedia(`(max-width: ${parseInt(form.style.width, 10) + 32}px)`);
const reflow = () => document.body.classList.toggle("narrow", narrow.matches);
narrow.addEventListener("change", reflow);
reflow();
performance.mark("lenstally-figures");
globalThis.lenstally = { core, calculator };
