// SPDX-License-Identifier: MIT
// Turns the inlined module text (the .wasm gzipped, then base64) back into a compiled WebAssembly
// module, and makes instances of it wired to a WasiShim. No JavaScript runs per byte: the platform
// decodes the base64 (Uint8Array.fromBase64 where the browser has it, Buffer in node, a data: URL
// otherwise; none of them is a network request) and DecompressionStream inflates the gzip.

export async function bytesFromBase64(text) {
    if (typeof Uint8Array.fromBase64 === "function") {
        return Uint8Array.fromBase64(text);
    }
    if (typeof Buffer === "function") {
        return new Uint8Array(Buffer.from(text, "base64"));
    }
    return bytesFromDataUrl(text);
}

export async function bytesFromDataUrl(text) {
    const response = await fetch(`data:application/octet-stream;base64,${text}`);
    return new Uint8Array(await response.arrayBuffer());
}

// The bytes go to the stream in one write (a Blob's stream, piped, took four times as long in
// Chromium); waiting on all three promises leaves no rejection unhandled when the data is bad.
export async function gunzip(bytes) {
    const stream = new DecompressionStream("gzip");
    const writer = stream.writable.getWriter();
    const [, , inflated] = await Promise.all([
        writer.write(bytes),
        writer.close(),
        new Response(stream.readable).arrayBuffer(),
    ]);
    return new Uint8Array(inflated);
}

// In a page the module compiles from a stream, while the gzip is still inflating. Node keeps the
// plain path, which every node version the module supports has.
export async function compileInlined(text) {
    const packed = await bytesFromBase64(text);
    if (typeof document !== "object" || typeof WebAssembly.compileStreaming !== "function") {
        return WebAssembly.compile(await gunzip(packed));
    }
    const stream = new DecompressionStream("gzip");
    const writer = stream.writable.getWriter();
    const [, , compiled] = await Promise.all([
        writer.write(packed),
        writer.close(),
        WebAssembly.compileStreaming(
            new Response(stream.readable, { headers: { "Content-Type": "application/wasm" } }),
        ),
    ]);
    return compiled;
}

// A ready instance: the shim sees its memory and a reactor's _initialize has run.
export function instantiate(module, shim) {
    const instance = new WebAssembly.Instance(module, shim.imports(module));
    shim.bind(instance.exports.memory);
    instance.exports._initialize?.();
    return instance;
}
