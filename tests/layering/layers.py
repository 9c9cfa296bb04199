#!/usr/bin/env python3
"""Fails when an include runs back up the layers.

Each subsystem (a folder of src/, and tools/ as a whole) may include only its
own headers and those of the subsystems listed for it below. The portable
subsystems include no Win32 header, except in platform's Windows-only files
(suffix _win) and its #ifdef _WIN32 branches. Every offence is named by file
and line.

Usage: layers.py [ROOT]   (ROOT: the repository, by default this script's)
"""

import re
import sys
from pathlib import Path

# Top layer first: the front ends, the windows and the engine, the portable
# table model, and the services below everything.
ALLOWED = {
    "cli": {"convert", "progress", "params", "numtext", "platform"},
    "shell": {"paramdlg", "progress", "convert", "params", "numtext", "platform"},
    "tools": {"convert", "params", "numtext", "platform"},
    "paramdlg": {"params", "numtext", "platform"},
    # The progress window's template comes from the dialogs' template writer.
    "progress": {"paramdlg", "params", "numtext", "platform"},
    # A run fills the progress record that the front end shows.
    "convert": {"progress", "params", "numtext", "platform"},
    "params": {"numtext", "platform"},
    "numtext": set(),
    "platform": set(),
}
PORTABLE = {"convert", "params", "numtext", "platform"}

SOURCES = {".h", ".hpp", ".c", ".cc", ".cpp"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"(([^"/]+)/[^"]*)"')
WIN32_HEADER = re.compile(
    r'^\s*#\s*include\s*<((?:windows|win\w*|commdlg|commctrl|cderr|shellapi|shlobj|shlwapi|ole2|objbase)\.h)>',
    re.IGNORECASE)
CONDITION = re.compile(r'^\s*#\s*(if|ifdef|ifndef|elif|else|endif)\b(.*)')
WIN32_CONDITION = re.compile(r'^\s*(?:_WIN32|defined\s*\(?\s*_WIN32\s*\)?)\s*(?://.*)?$')


def cycles():
    """Pairs of subsystems the table lets reach each other."""
    reached = {name: set(deps) for name, deps in ALLOWED.items()}
    for _ in ALLOWED:  # a path is no longer than the table
        for deps in reached.values():
            deps |= set().union(*(reached[dep] for dep in deps))
    return sorted((a, b) for a in ALLOWED for b in reached[a] if a < b and a in reached[b])


def win32branches(lines):
    """For each line, whether it lies in a branch taken only on Windows."""
    stack, inside = [], []  # per open #if: [this branch, the #else branch]
    for line in lines:
        m = CONDITION.match(line)
        if m:
            word, windows = m.group(1), bool(WIN32_CONDITION.match(m.group(2).strip()))
            if word in ("if", "ifdef"):
                stack.append([windows, False])
            elif word == "ifndef":
                stack.append([False, windows])
            elif word == "elif" and stack:
                stack[-1][0] = False
            elif word == "else" and stack:
                stack[-1][0] = stack[-1][1]
            elif word == "endif" and stack:
                stack.pop()
        inside.append(any(branch for branch, _ in stack))
    return inside


def check(root):
    problems = [f"the table lets {a} and {b} include each other" for a, b in cycles()]
    for path in sorted(p for top in ("src", "tools") for p in (root / top).rglob("*") if p.suffix in SOURCES):
        rel = path.relative_to(root)
        subsystem = "tools" if rel.parts[0] == "tools" else rel.parts[1]
        if subsystem not in ALLOWED:
            problems.append(f"{rel}: {subsystem} is not in the layer table")
            continue
        lines = path.read_text(encoding="utf-8").splitlines()
        win32ok = subsystem not in PORTABLE or (subsystem == "platform" and rel.stem.endswith("_win"))
        for number, (line, windows_only) in enumerate(zip(lines, win32branches(lines)), 1):
            m = INCLUDE.match(line)
            if m:
                header, target = m.groups()
                if target in ALLOWED and target != subsystem and target not in ALLOWED[subsystem]:
                    allowed = ", ".join(sorted(ALLOWED[subsystem])) or "nothing"
                    problems.append(f'{rel}:{number}: #include "{header}": {subsystem}/ may include {allowed}')
            m = WIN32_HEADER.match(line)
            if m and not win32ok and not windows_only:
                problems.append(f"{rel}:{number}: #include <{m.group(1)}> in portable {subsystem}/")
    return problems


def main():
    root = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2]
    problems = check(root)
    if problems:
        print("\n".join(problems + [f"{len(problems)} include(s) against the layers"]))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
