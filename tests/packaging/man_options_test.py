#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks that the manual page and `lenstally --help` list the same options.

Usage: man_options_test.py LENSTALLY MANPAGE

Both lists are read at run time: the options from the built program's --help, the options from
the tags of the manual page's OPTIONS section. It also checks that each value a --help line
allows, "(mjpeg|mpeg4|h264)" or "(1-30)", appears in that option's entry of the manual page.
"""

import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])(--[a-z][a-z0-9-]*|-[a-z])(?![\w-])")


def help_options(program):
    """{option: allowed values} from the Options: block of --help."""
    text = subprocess.run([program, "--help"], check=True, capture_output=True, text=True).stdout
    options, in_block = {}, False
    for line in text.splitlines():
        if line.strip() == "Options:":
            in_block = True
            continue
        if not in_block or not line.startswith("  -"):
            continue
        names, _, description = line.strip().partition(" ")
        values = []
        allowed = re.search(r"\(([^()]*)\)\s*$", description)
        if allowed and "|" in allowed.group(1):
            values = allowed.group(1).split("|")
        elif allowed and re.fullmatch(r"\d+-\d+", allowed.group(1)):
            values = allowed.group(1).split("-")
        for name in names.split(","):
            options[name] = values
    return options


def plain(roff_line):
    """Roff source as the reader sees it: escapes resolved, font macros dropped."""
    line = re.sub(r"^\.(B|I|BR|BI|IB|RB|IR|RI)\s+", "", roff_line)
    line = line.replace("\\-", "-").replace("\\e", "\\").replace('"', "")
    return re.sub(r"\\f[BIRP]", "", line)


def man_options(path):
    """{option: entry text} from the .TP tags of the OPTIONS section."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    options, section, tag_next, current = {}, None, False, []
    for line in lines:
        if line.startswith(".SH"):
            section = line[3:].strip().strip('"')
            current = []
            continue
        if section != "OPTIONS" or line.startswith('.\\"'):
            continue
        if line == ".TP":
            tag_next = True
            continue
        if line in (".PP", ".P", ".LP"):
            current = []
            continue
        if tag_next:
            tag_next = False
            current = [plain(line)]
            for name in OPTION.findall(current[0]):
                options[name] = current
            continue
        current.append(plain(line))
    return {name: " ".join(entry) for name, entry in options.items()}


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    in_help = help_options(sys.argv[1])
    in_man = man_options(sys.argv[2])
    problems = []
    for name in sorted(set(in_help) - set(in_man)):
        problems.append(f"{name}: in --help but not in the manual page")
    for name in sorted(set(in_man) - set(in_help)):
        problems.append(f"{name}: in the manual page but not in --help")
    for name, values in sorted(in_help.items()):
        entry = in_man.get(name)
        if entry is None:
            continue
        for value in values:
            if not re.search(rf"(?<![\w-]){re.escape(value)}(?![\w-])", entry):
                problems.append(f"{name}: --help allows '{value}', its manual entry does not say so")
    for line in problems:
        print(line)
    print(f"{len(in_help)} options in --help, {len(in_man)} in the manual page, "
          f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
