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
F = r"(?P<file>[^\s:][^:]*)"  # a file name as most tools print it: no leading blank, no colon

RULES = {
    "clang": [(GCC_MESSAGE, None), (INCLUDE_CHAIN, "note")],
    # OCaml: the level stands on a later line (kind "next"); backtrace frames.
    "ocaml": [(r'^File "(?P<file>.+)", lines? (?P<line>\d+)(?:-\d+)?(?:, characters (?P<col>\d+)-\d+)?:$', "next"),
              (r'^(?:Raised at|Called from|Re-raised at|Raised by primitive operation at) .*?in file "(?P<file>.+)", '
               r'line (?P<line>\d+), characters (?P<col>\d+)-\d+$', "trace")],
    "erlc": [(r"^(?P<file>[^\s:%][^:]*):(?P<line>\d+):(?P<col>\d+): Warning: ", "warning"),
             (r"^(?P<file>[^\s:%][^:]*):(?P<line>\d+):(?P<col>\d+): ", "error")],
    # Elixir: `** (Kind) FILE:LINE[:COL]: message`, the warning's location indented by two,
    # stack frames indented by four, with an `(app version)` prefix for library frames.
    "elixir": [(r"^\*\* \(\w+\) " + F + r":(?P<line>\d+)(?::(?P<col>\d+))?: ", "error"),
               (r"^  " + F + r":(?P<line>\d+): ", "warning"),
               (r"^    (?:\([\w.]+ [\d.]+\) )?" + F + r":(?P<line>\d+): ", "trace")],
    "gdc": [(r"^" + F + r":(?P<line>\d+):(?P<col>\d+): (?P<level>error|warning|note)", None)],
    "ldc2": [(r"^(?P<file>\S.*?)\((?P<line>\d+)(?:,(?P<col>\d+))?\): (?:Warning|Deprecation)", "warning"),
             (r"^(?P<file>\S.*?)\((?P<line>\d+)(?:,(?P<col>\d+))?\): Error", "error")],
    "nim": [(r"^(?P<file>\S.*?)\((?P<line>\d+), (?P<col>\d+)\) (?P<level>Error|Warning)", None),
            (r"^(?P<file>\S.*?)\((?P<line>\d+), (?P<col>\d+)\) Hint", "note"),
            (r"^(?P<file>/\S.*?)\((?P<line>\d+)\) \w+$", "trace")],
    "nasm": [(r"^" + F + r":(?P<line>\d+): (?P<level>error|warning|fatal)", None),
             (r"^" + F + r":(?P<line>\d+): \.\.\. from macro", "note")],
    # Icarus Verilog: a continuation `FILE:LINE:        : text` belongs to the message above it.
    "iverilog": [(r"^" + F + r":(?P<line>\d+): (?:syntax error|error|sorry)", "error"),
                 (r"^" + F + r":(?P<line>\d+): warning", "warning"),
                 (r"^" + F + r":(?P<line>\d+):\s+: ", "prev")],
    "verilator": [(r"^%(?P<level>Error|Warning)(?:-\w+)?: " + F + r":(?P<line>\d+):(?P<col>\d+): ", None)],
    "pdflatex": [(r"^(?P<file>[^\s:][^:]*\.tex):(?P<line>\d+): ", "error")],
    "chktex": [(r"^(?P<level>Warning|Error) \d+ in (?P<file>.+?) line (?P<line>\d+): ", None),
               (r"^Message \d+ in (?P<file>.+?) line (?P<line>\d+): ", "note"),
               (r"^" + F + r":(?P<line>\d+):(?P<col>\d+):\d+:", "warning")],
    "xmllint": [(r"^" + F + r":(?P<line>\d+): .*?(?P<level>error|warning) : ", None)],
    # yamllint's standard format names the file in a header line above; the row has no file.
    "yamllint": [(r"^  (?P<file>)(?P<line>\d+):(?P<col>\d+) +(?P<level>error|warning) ", None),
                 (r"^" + F + r":(?P<line>\d+):(?P<col>\d+): \[(?P<level>error|warning)\]", None)],
    "rubocop": [(r"^" + F + r":(?P<line>\d+):(?P<col>\d+): [EF]: ", "error"),
                (r"^" + F + r":(?P<line>\d+):(?P<col>\d+): [CWR]: ", "warning")],
    # perlcritic's default format for one file names no file.
    "perlcritic": [(r"^(?P<file>).* at line (?P<line>\d+), column (?P<col>\d+)\.  ", "warning"),
                   (r"^" + F + r":(?P<line>\d+):(?P<col>\d+):", "warning")],
    "luacheck": [(r"^(?:    )?" + F + r":(?P<line>\d+):(?P<col>\d+): (?:\(E\d+\) |expected )", "error"),
                 (r"^(?:    )?" + F + r":(?P<line>\d+):(?P<col>\d+): ", "warning")],
    "valac": [(r"^" + F + r":(?P<line>\d+)\.(?P<col>\d+)-\d+\.\d+: (?P<level>error|warning|note)", None)],
    "bison": [(r"^" + F + r":(?P<line>\d+)\.(?P<col>\d+)(?:-[\d.]+)?: (?P<level>fatal error|error|warning|note)", None)],
    "flex": [(r"^" + F + r":(?P<line>\d+): warning,", "warning"),
             (r"^" + F + r":(?P<line>\d+): ", "error")],
    "protoc": [(r"^" + F + r":(?P<line>\d+):(?P<col>\d+): warning: ", "warning"),
               (r"^" + F + r":(?P<line>\d+):(?P<col>\d+): ", "error")],
    "mvn": [(r"^\[(?P<level>ERROR|WARNING)\] " + F + r":\[(?P<line>\d+),(?P<col>\d+)\] ", None)],
}


def next_level(lines, index):
    """The kind of a message whose level word stands on a later line (OCaml): the first line that
    starts with a level word, before the next position line; an indented text first makes a note."""
    for text in lines[index + 1:]:
        text = ESCAPES.sub("", text)
        if text.startswith("Error"):
            return "error"
        if text.startswith("Warning") or text.startswith("Alert"):
            return "warning"
        if re.match(r"^\s*(\d+ )?\||^\s*[\^~]+\s*$|^\d+ \|", text):
            continue  # the quoted source and its marker line
        if text.startswith("File ") or text.startswith("  "):
            return "note"
    return "note"


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
                if kind == "next":
                    kind = next_level(lines, index)
                elif kind == "prev":
                    kind = rows[-1][6] if rows else "note"
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
