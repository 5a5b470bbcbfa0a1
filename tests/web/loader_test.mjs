// SPDX-License-Identifier: MIT
// The page's loading path and the WASI imports, in node (node --test tests/web/).
import assert from "node:assert/strict";
import { test } from "node:test";
import { gzipSync } from "node:zlib";

import {
    bytesFromBase64,
    bytesFromDataUrl,
    gunzip,
} from "../../web/js/module_loader.mjs";
import { WasiExit, WasiShim } from "../../web/js/wasi_shim.mjs";

test("inlined text decodes back to the same bytes by every path, and bad data rejects", async () => {
    // Every byte value, in an order gzip cannot shrink to nothing.
    const original = Uint8Array.from({ length: 70000 }, (_, index) => (index * 7919) % 251);
    const text = gzipSync(original).toString("base64");
    assert.deepEqual(await gunzip(await bytesFromBase64(text)), original);
    assert.deepEqual(await gunzip(await bytesFromDataUrl(text)), original);
    const broken = await bytesFromBase64(text);
    broken[20] ^= 0xff;
    await assert.rejects(gunzip(broken));
});

// A shim on a fresh memory, with helpers to lay out what a module would pass it.
function shimOnMemory(options) {
    const shim = new WasiShim(options);
    const memory = new WebAssembly.Memory({ initial: 1 });
    shim.bind(memory);
    const view = new DataView(memory.buffer);
    const put = (at, bytes) => new Uint8Array(memory.buffer).set(bytes, at);
    return { shim, wasi: shim.functions(), view, put, memory };
}

test("writes to fd 1 and 2 come back as text, a character split across writes included", () => {
    const { shim, wasi, view, put } = shimOnMemory();
    const euro = new TextEncoder().encode("€ ok\n"); // three bytes, then four
    put(100, euro);
    // Two iovecs: the euro sign's first byte, then the rest.
    view.setUint32(0, 100, true);
    view.setUint32(4, 1, true);
    view.setUint32(8, 101, true);
    view.setUint32(12, euro.length - 1, true);
    assert.equal(wasi.fd_write(1, 0, 2, 50), 0);
    assert.equal(view.getUint32(50, true), euro.length);
    assert.equal(wasi.fd_write(2, 8, 1, 50), 0);
    assert.equal(shim.take(1), "€ ok\n");
    assert.equal(shim.take(1), "");
    assert.equal(shim.take(2), new TextDecoder().decode(euro.slice(1)));
    assert.equal(wasi.fd_write(3, 0, 1, 50), 8); // EBADF: no files
    assert.equal(wasi.fd_prestat_get(3, 60), 8); // no preopened folder
});

test("arguments and environment are laid out as C strings; exit unwinds with its code", () => {
    const { wasi, view, memory } = shimOnMemory({ args: ["lenstally", "é"], env: { A: "1" } });
    assert.equal(wasi.args_sizes_get(0, 4), 0);
    assert.deepEqual([view.getUint32(0, true), view.getUint32(4, true)], [2, 13]);
    assert.equal(wasi.args_get(16, 200), 0);
    const text = (pointer, size) => new TextDecoder().decode(new Uint8Array(memory.buffer, pointer, size));
    assert.equal(view.getUint32(16, true), 200);
    assert.equal(view.getUint32(20, true), 210);
    assert.equal(text(200, 13), "lenstally\0é\0");
    assert.equal(wasi.environ_sizes_get(0, 4), 0);
    assert.deepEqual([view.getUint32(0, true), view.getUint32(4, true)], [1, 4]);
    assert.throws(() => wasi.proc_exit(3), (error) => error instanceof WasiExit && error.code === 3);
});
