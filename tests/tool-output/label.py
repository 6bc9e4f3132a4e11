#!/usr/bin/env python3
"""Labels the position lines of this corpus: writes expected.tsv from the captured outputs.

The labels come from the rules below, written with Python's `re` from the tools' documented and
observed output shapes, independently of the expressions that the shipped commands use. Each
output line is matched (with colour escape sequences removed) against its tool's rules in order;
the first rule that matches gives the row. A tool without rules keeps the rows that expected.tsv
already has for it (labelled by hand). Run: python3 tests/tool-output/label.py
"""
import csv
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ESCAPES = re.compile(r"\x1b\[[0-9;]*[A-Za-z]")

LEVELS = {
    "error": "error", "fatal error": "error", "fatal": "error", "Error": "error", "ERROR": "error",
    "warning": "warning", "Warning": "warning", "WARNING": "warning",
    "note": "note", "info": "note", "style": "note", "hint": "note", "help": "note", "remark": "note",
    "performance": "note", "portability": "note", "information": "note",
}


# A GCC-shaped message: FILE:LINE:COL: level: or FILE:LINE: level:, and clang's vi form
# FILE +LINE:COL: level:
GCC_MESSAGE = (r"^(?P<file>[^\s:][^:]*?)(?::| \+)(?P<line>\d+):(?:(?P<col>\d+):)? "
               r"(?P<level>fatal error|error|warning|note|remark):")
INCLUDE_CHAIN = r"^(?:In file included from |\s+from )(?P<file>.+?):(?P<line>\d+)(?::\d+)?[:,]$"

# Per tool: (pattern, kind) pairs; kind None takes the kind from the "level" group.
RULES = {
    "clang": [(GCC_MESSAGE, None), (INCLUDE_CHAIN, "note")],
}


def read_table(name):
    with open(os.path.join(HERE, name), newline="") as f:
        return list(csv.reader(f, delimiter="\t", quoting=csv.QUOTE_NONE))


def label(tool, output):
    rules = [(re.compile(pattern), kind) for pattern, kind in RULES[tool]]
    with open(os.path.join(HERE, output), "rb") as f:
        lines = f.read().decode("utf-8").split("\n")
    rows = []
    for index, raw in enumerate(lines):
        text = ESCAPES.sub("", raw)
        for rule, kind in rules:
            m = rule.search(text)
            if m:
                col = m.groupdict().get("col") or ""
                rows.append([tool, output, str(index), m.group("file"), m.group("line"), col, kind or LEVELS[m.group("level")]])
                break
    return rows


def main():
    cases = read_table("cases.tsv")
    old = read_table("expected.tsv")
    header, old_rows = old[0], old[1:]
    rows = [r for r in old_rows if r[0] not in RULES]
    for case in cases[1:]:
        if case[0] in RULES:
            rows += label(case[0], case[2])
    rows.sort(key=lambda r: (r[1], int(r[2])))
    with open(os.path.join(HERE, "expected.tsv"), "w", newline="") as f:
        for row in [header] + rows:
            f.write("\t".join(row) + "\n")
    print(f"{len(rows)} rows", file=sys.stderr)


if __name__ == "__main__":
    main()
