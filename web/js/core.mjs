// SPDX-License-Identifier: MIT
// The compiled core as JavaScript calls it: text in, text out, through the module's C interface
// (a buffer the module hands out for the request, the answer read back from its memory). A
// module that stopped on a broken internal contract (a trap) is replaced by a fresh instance
// before the next call, and the call that met it fails with an Error.

import { instantiate } from "./module_loader.mjs";
import { WasiShim } from "./wasi_shim.mjs";

const encoder = new TextEncoder();
const decoder = new TextDecoder();

export class Core {
    constructor(compiled) {
        this.m_compiled = compiled;
        this.m_instance = null;
    }

    exports() {
        if (!this.m_instance) {
            this.m_shim = new WasiShim();
            this.m_instance = instantiate(this.m_compiled, this.m_shim);
        }
        return this.m_instance.exports;
    }

    // Calls export `name` with the request (a text, sent as UTF-8, or bytes sent as they are) and
    // any further numbers; returns {result, output, errors}: the export's return value and the
    // answer texts. The answers are valid UTF-8 (a request's texts are read as JSON, which refuses
    // other bytes, and a message quotes such bytes as \xNN), so they decode to exactly the bytes
    // the core wrote.
    call(name, request, ...numbers) {
        const core = this.exports();
        try {
            const bytes = request instanceof Uint8Array ? request : encoder.encode(request);
            const buffer = core.lenstally_input(bytes.length);
            new Uint8Array(core.memory.buffer, buffer, bytes.length).set(bytes);
            const result = core[name](bytes.length, ...numbers);
            return {
                result,
                output: this.text(core.lenstally_output(), core.lenstally_output_size()),
                errors: this.text(core.lenstally_errors(), core.lenstally_errors_size()),
            };
        } catch (error) {
            this.m_instance = null;
            throw new Error(`the Lenstally engine stopped: ${error.message}`);
        } finally {
            // Whatever the C library wrote to its own stdout and stderr is dropped.
            this.m_shim?.take(1);
            this.m_shim?.take(2);
        }
    }

    text(pointer, size) {
        return decoder.decode(new Uint8Array(this.m_instance.exports.memory.buffer, pointer, size));
    }

    // One request of the page, as an object; the answer, as an object.
    page(request) {
        return JSON.parse(this.call("lenstally_page", JSON.stringify(request)).output);
    }

    // An output of the planner ("save", "json", "csv", "table"), as its text.
    plannerText(what) {
        return this.call("lenstally_page", JSON.stringify({ planner: what, plain: true })).output;
    }
}
