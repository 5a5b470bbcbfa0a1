#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Builds the one-file page and the JavaScript module from the page's sources and .wasm files.

The page template is plain HTML that names its style sheet and its entry script the usual way
(<link rel="stylesheet" href="X.css"> and <script type="module" src="Y.mjs"></script>); this
replaces both tags by the files' text, so the page needs nothing beside it. Scripts are ES modules
that import one another by relative path ("./name.mjs", "../js/name.mjs"); they are joined into
one module, each file after the files it imports, with the import lines dropped and the `export`
keyword kept only on the entry's declarations. The import "./inlined_module.mjs" is not a file:
it is a .wasm, gzipped by zopfli (a gzip stream some 4 % smaller than gzip -9 writes, with no time
stamp, so the same input gives the same page) and then base64-encoded. In the JavaScript module
it is `const INLINED_MODULE = "...";`.

The page holds two modules, each text in an element of its own, <script
type="application/octet-stream">, which the browser does not parse as script: the calculator's
small one (--calculator-wasm) before the page's script, and the full one after it. The page's
script is a classic one, <script id="lenstally-script">, the joined modules' text in an async
function called at once: it runs as soon as the browser has read it, and while it waits for the
calculator's module to compile the browser reads on. INLINED_CALCULATOR is the small module's
text, and INLINED_MODULE a promise of the full one's, kept once the page is read. The page's
script and style sheet are minified by esbuild: their comments, white space and long local names
are for people only.

    generate.py --zopfli /usr/bin/zopfli --wasm M.wasm --calculator-wasm C.wasm --page page.html \
        --out lenstally.html
    generate.py --zopfli /usr/bin/zopfli --wasm M.wasm --script api.mjs --out lenstally.mjs
"""

import argparse
import base64
import pathlib
import re
import subprocess
import sys

INLINED_MODULE = "./inlined_module.mjs"
IMPORT = re.compile(r'^import\s*\{[^}]*\}\s*from\s*"([^"]+)";[ \t]*\n?', re.MULTILINE)
EXPORT = re.compile(r"^export\s+(?=(async\s+)?(function|class|const|let)\b)", re.MULTILINE)
STYLE_TAG = re.compile(r'<link rel="stylesheet" href="([^"]+)">')
SCRIPT_TAG = re.compile(r'<script type="module" src="([^"]+)"></script>')
LICENCE = re.compile(r"^// SPDX-License-Identifier: MIT\n", re.MULTILINE)


class GenerateError(Exception):
    pass


MODULE_ELEMENT = "lenstally-module"
CALCULATOR_ELEMENT = "lenstally-calculator-module"
SCRIPT_ELEMENT = "lenstally-script"


# The zopfli program that compresses the module (set from --zopfli).
ZOPFLI = "zopfli"


def module_text(wasm: pathlib.Path) -> str:
    try:
        packed = subprocess.run([ZOPFLI, "--i15", "--gzip", "-c", str(wasm)], check=True,
                                capture_output=True).stdout
    except subprocess.CalledProcessError as error:
        raise GenerateError(f"{ZOPFLI} failed: {error.stderr.decode(errors='replace')}") from None
    return base64.b64encode(packed).decode("ascii")


def inlined_module(wasm: pathlib.Path | None) -> str:
    """The declarations of INLINED_MODULE: the text itself, or (None) the page's two modules."""
    if wasm is not None:
        return f'const INLINED_MODULE = "{module_text(wasm)}";\n'
    return f"""const INLINED_CALCULATOR = document.getElementById("{CALCULATOR_ELEMENT}").textContent;
const INLINED_MODULE = new Promise((resolve) => {{
    const read = () => resolve(document.getElementById("{MODULE_ELEMENT}").textContent);
    if (document.readyState === "loading") {{
        document.addEventListener("DOMContentLoaded", read, {{ once: true }});
    }} else {{
        read();
    }}
}});
"""


# The esbuild program that minifies the page's script and style sheet (set from --esbuild).
ESBUILD = "esbuild"


def minified(text: str, loader: str, name: str) -> str:
    """The text as esbuild minifies it (loader "js" for a module, "css" for a style sheet): without
    the comments, white space and long local names that only people read; it does the same."""
    command = [ESBUILD, "--minify", f"--loader={loader}", "--log-level=warning"]
    if loader == "js":
        command.append("--format=esm")
    try:
        return subprocess.run(command, input=text.encode("utf-8"), check=True,
                              capture_output=True).stdout.decode("utf-8")
    except subprocess.CalledProcessError as error:
        raise GenerateError(f"{name}: {error.stderr.decode(errors='replace')}") from None


def bundle(entry: pathlib.Path, wasm: pathlib.Path | None, keep_entry_exports: bool) -> str:
    """The entry script and everything it imports, as one module's text."""
    ordered: list[str] = []
    visiting: set[pathlib.Path] = set()
    done: set[pathlib.Path] = set()

    def visit(path: pathlib.Path, is_entry: bool) -> None:
        if path in done:
            return
        if path in visiting:
            raise GenerateError(f"{path}: imports itself through other files")
        visiting.add(path)
        text = path.read_text(encoding="utf-8")
        for name in IMPORT.findall(text):
            if name == INLINED_MODULE:
                if INLINED_MODULE not in done:
                    ordered.append(inlined_module(wasm))
                    done.add(INLINED_MODULE)
            elif name.startswith(("./", "../")):
                visit((path.parent / name).resolve(), False)
            else:
                raise GenerateError(f'{path}: imports "{name}"; only relative paths can be joined')
        text = LICENCE.sub("", IMPORT.sub("", text), count=1)
        if not (is_entry and keep_entry_exports):
            text = EXPORT.sub("", text)
        ordered.append(f"// {path.name}\n{text}")
        visiting.discard(path)
        done.add(path)

    visit(entry.resolve(), True)
    return "\n".join(ordered)


def inline_page(template: pathlib.Path, wasm: pathlib.Path, calculator: pathlib.Path) -> str:
    html = template.read_text(encoding="utf-8")

    def style(match: re.Match) -> str:
        text = minified((template.parent / match.group(1)).read_text(encoding="utf-8"), "css",
                        match.group(1))
        if "</style" in text.lower():
            raise GenerateError(f"{match.group(1)}: holds </style")
        return f"<style>\n{text}</style>"

    def script(match: re.Match) -> str:
        joined = bundle(template.parent / match.group(1), None, keep_entry_exports=False)
        text = minified(f'(async () => {{\n"use strict";\n{joined}\n}})();\n', "js",
                        match.group(1))
        if re.search(r"</script|<script|<!--", text, re.IGNORECASE):
            raise GenerateError(f"{match.group(1)}: holds <script, </script or <!--")
        # The modules' texts in elements the browser keeps as text without parsing them: the
        # calculator's before the script, which runs as soon as it is read, the full one after.
        return (f'<script type="application/octet-stream" id="{CALCULATOR_ELEMENT}">'
                f'{module_text(calculator)}</script>\n<script id="{SCRIPT_ELEMENT}">\n{text}</script>\n'
                f'<script type="application/octet-stream" id="{MODULE_ELEMENT}">'
                f'{module_text(wasm)}</script>')

    html, styles = STYLE_TAG.subn(style, html)
    html, scripts = SCRIPT_TAG.subn(script, html)
    if scripts != 1:
        raise GenerateError(f"{template}: names {scripts} module scripts; one is expected")
    return html


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--zopfli", default="zopfli", help="the zopfli program")
    parser.add_argument("--esbuild", default="esbuild", help="the esbuild program")
    parser.add_argument("--wasm", type=pathlib.Path, required=True)
    parser.add_argument("--calculator-wasm", type=pathlib.Path,
                        help="the calculator's module, which the page shows its figures with first")
    what = parser.add_mutually_exclusive_group(required=True)
    what.add_argument("--page", type=pathlib.Path, help="the page template (.html)")
    what.add_argument("--script", type=pathlib.Path, help="the module's entry script (.mjs)")
    parser.add_argument("--out", type=pathlib.Path, required=True)
    args = parser.parse_args(argv)
    global ZOPFLI, ESBUILD  # pylint: disable=global-statement
    ZOPFLI, ESBUILD = args.zopfli, args.esbuild
    try:
        if args.page:
            if args.calculator_wasm is None:
                raise GenerateError("a page needs --calculator-wasm")
            text = inline_page(args.page, args.wasm, args.calculator_wasm)
        else:
            text = "// SPDX-License-Identifier: MIT\n" + bundle(args.script, args.wasm, True)
    except (GenerateError, OSError) as error:
        print(f"generate.py: {error}", file=sys.stderr)
        return 1
    # Written whole or not at all, so a failed run never leaves half a page behind.
    partial = args.out.with_name(args.out.name + ".partial")
    partial.write_text(text, encoding="utf-8")
    partial.replace(args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
