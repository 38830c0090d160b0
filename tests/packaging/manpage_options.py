#!/usr/bin/env python3
"""Compares the options each program's --help lists with the options its
manual page describes in OPTIONS, both ways, so neither can drift.

Usage: manpage_options.py MAN_FOLDER NAME=PROGRAM...
"""
import os
import re
import subprocess
import sys
from pathlib import Path

# -h, -?, --help, --no-file-id; not the "-" inside words or values.
OPTION = re.compile(r"(?<![\w-])(--?[A-Za-z?][\w-]*)")


def help_options(program):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    run = subprocess.run([program, "--help"], capture_output=True, text=True, env=env, timeout=60)
    if run.returncode != 0:
        sys.exit(f"{program} --help failed ({run.returncode}): {run.stderr}")
    options = set()
    listing = False
    for line in run.stdout.splitlines():
        if line.startswith("Options:"):
            listing = True
        elif listing and not line.startswith(" "):
            listing = False  # the next heading ("Arguments:") or the end
        elif listing:
            # The option column ends where two blanks begin the description.
            column = re.match(r"\s+(-.*?)(?:\s{2,}|$)", line)
            if column:
                options.update(OPTION.findall(column.group(1)))
    if not options:
        sys.exit(f"{program} --help lists no options:\n{run.stdout}")
    return options


def page_options(page):
    """The options of the tags (the line after .TP) of the OPTIONS section."""
    options = set()
    section = None
    tag_next = False
    for line in page.read_text(encoding="utf-8").splitlines():
        if line.startswith(".SH"):
            section = line[3:].strip().strip('"')
            tag_next = False
        elif section == "OPTIONS" and line.startswith(".TP"):
            tag_next = True
        elif tag_next:
            text = re.sub(r"\\f[BIRP]", "", line.replace("\\-", "-"))
            text = re.sub(r"^\.[A-Z]+\s*", "", text)
            options.update(OPTION.findall(text))
            tag_next = False
    return options


def main():
    man_folder = Path(sys.argv[1])
    failed = False
    for pair in sys.argv[2:]:
        name, program = pair.split("=", 1)
        page = man_folder / f"{name}.1"
        if not page.is_file():
            print(f"{name}: no manual page {page}")
            failed = True
            continue
        shown, described = help_options(program), page_options(page)
        for option in sorted(shown - described):
            print(f"{name}: --help lists {option}, the manual page does not describe it")
            failed = True
        for option in sorted(described - shown):
            print(f"{name}: the manual page describes {option}, --help does not list it")
            failed = True
        if shown == described:
            print(f"{name}: {len(shown)} options, the same in --help and the manual page")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
