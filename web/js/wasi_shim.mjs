// SPDX-License-Identifier: MIT
// The WASI imports (wasi_snapshot_preview1) a reactor module built against wasi-libc needs, in
// plain JavaScript for browsers and node alike. Writes to fd 1 and 2 are kept as bytes and handed
// back as strings; nothing ever reaches the console. There are no files: the libc's search for
// preopened folders ends at once, fd 0 reads as empty, and every other call answers ENOSYS.

const ERRNO_SUCCESS = 0;
const ERRNO_BADF = 8;
const ERRNO_NOSYS = 52;
const ERRNO_SPIPE = 70;
const FILETYPE_CHARACTER_DEVICE = 2;
const CLOCK_REALTIME = 0;

// Thrown from proc_exit to unwind the module's stack back to the caller, who reads the code.
export class WasiExit extends Error {
    constructor(code) {
        super(`exit ${code}`);
        this.code = code;
    }
}

export class WasiShim {
    // args: the argv strings (argv[0] first); env: an object of environment variables.
    constructor({ args = ["lenstally"], env = {} } = {}) {
        this.m_args = args;
        this.m_env = Object.entries(env).map(([name, value]) => `${name}=${value}`);
        this.m_memory = null;
        this.m_output = new Map([
            [1, []],
            [2, []],
        ]);
        this.m_encoder = new TextEncoder();
    }

    // The memory the module exports; call before the module runs anything.
    bind(memory) {
        this.m_memory = memory;
    }

    // What the module wrote to fd (1 or 2) since the last take, as UTF-8 text; clears it.
    take(fd) {
        const chunks = this.m_output.get(fd);
        const size = chunks.reduce((sum, chunk) => sum + chunk.length, 0);
        const all = new Uint8Array(size);
        let at = 0;
        for (const chunk of chunks) {
            all.set(chunk, at);
            at += chunk.length;
        }
        chunks.length = 0;
        return new TextDecoder().decode(all);
    }

    // The import object for the given compiled module: every wasi_snapshot_preview1 function it
    // imports, the unknown ones answering ENOSYS.
    imports(module) {
        const own = this.functions();
        const wasi = {};
        for (const { module: from, name, kind } of WebAssembly.Module.imports(module)) {
            if (from === "wasi_snapshot_preview1" && kind === "function") {
                wasi[name] = own[name] ?? (() => ERRNO_NOSYS);
            }
        }
        return { wasi_snapshot_preview1: wasi };
    }

    functions() {
        const view = () => new DataView(this.m_memory.buffer);
        const bytes = (pointer, size) => new Uint8Array(this.m_memory.buffer, pointer, size);
        const writeStrings = (strings, pointers, buffer) => {
            let at = buffer;
            strings.forEach((text, index) => {
                const encoded = this.m_encoder.encode(`${text}\0`);
                view().setUint32(pointers + 4 * index, at, true);
                bytes(at, encoded.length).set(encoded);
                at += encoded.length;
            });
            return ERRNO_SUCCESS;
        };
        const writeSizes = (strings, countPointer, sizePointer) => {
            const size = strings.reduce(
                (sum, text) => sum + this.m_encoder.encode(text).length + 1,
                0,
            );
            view().setUint32(countPointer, strings.length, true);
            view().setUint32(sizePointer, size, true);
            return ERRNO_SUCCESS;
        };
        const isStdio = (fd) => fd >= 0 && fd <= 2;
        return {
            args_get: (pointers, buffer) => writeStrings(this.m_args, pointers, buffer),
            args_sizes_get: (count, size) => writeSizes(this.m_args, count, size),
            environ_get: (pointers, buffer) => writeStrings(this.m_env, pointers, buffer),
            environ_sizes_get: (count, size) => writeSizes(this.m_env, count, size),
            clock_res_get: (id, result) => {
                view().setBigUint64(result, 1000n, true);
                return ERRNO_SUCCESS;
            },
            clock_time_get: (id, precision, result) => {
                const milliseconds = id === CLOCK_REALTIME ? Date.now() : performance.now();
                view().setBigUint64(result, BigInt(Math.round(milliseconds * 1e6)), true);
                return ERRNO_SUCCESS;
            },
            random_get: (buffer, size) => {
                // getRandomValues fills at most 65536 bytes a call.
                for (let at = 0; at < size; at += 65536) {
                    const part = bytes(buffer + at, Math.min(65536, size - at));
                    if (globalThis.crypto?.getRandomValues) {
                        globalThis.crypto.getRandomValues(part);
                    } else {
                        part.forEach((_, index) => (part[index] = Math.random() * 256));
                    }
                }
                return ERRNO_SUCCESS;
            },
            proc_exit: (code) => {
                throw new WasiExit(code);
            },
            sched_yield: () => ERRNO_SUCCESS,
            fd_write: (fd, iovecs, count, written) => {
                const chunks = this.m_output.get(fd);
                if (!chunks) {
                    return ERRNO_BADF;
                }
                let total = 0;
                for (let index = 0; index < count; ++index) {
                    const pointer = view().getUint32(iovecs + 8 * index, true);
                    const size = view().getUint32(iovecs + 8 * index + 4, true);
                    chunks.push(bytes(pointer, size).slice());
                    total += size;
                }
                view().setUint32(written, total, true);
                return ERRNO_SUCCESS;
            },
            fd_read: (fd, iovecs, count, read) => {
                if (fd !== 0) {
                    return ERRNO_BADF;
                }
                view().setUint32(read, 0, true);
                return ERRNO_SUCCESS;
            },
            fd_fdstat_get: (fd, result) => {
                if (!isStdio(fd)) {
                    return ERRNO_BADF;
                }
                // A character device with every right but seek and tell: a terminal.
                bytes(result, 24).fill(0);
                view().setUint8(result, FILETYPE_CHARACTER_DEVICE);
                view().setBigUint64(result + 8, 0xffffffffn & ~0x24n, true);
                return ERRNO_SUCCESS;
            },
            fd_seek: (fd) => (isStdio(fd) ? ERRNO_SPIPE : ERRNO_BADF),
            fd_close: (fd) => (isStdio(fd) ? ERRNO_SUCCESS : ERRNO_BADF),
            fd_prestat_get: () => ERRNO_BADF,
            fd_prestat_dir_name: () => ERRNO_BADF,
            fd_tell: (fd) => (isStdio(fd) ? ERRNO_SPIPE : ERRNO_BADF),
        };
    }
}
