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
ESCAPES = re.compile(r"\x1b\[[0-9;]*[A-Za-z]|\x1b\([A-Z]")

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
GCC_CONTEXT = r"^(?P<file>[^\s:][^:]*?):(?P<line>\d+):(?P<col>\d+):   required (?:from|by) "
INCLUDE_CHAIN = r"^(?:In file included from |\s+from )(?P<file>.+?):(?P<line>\d+)(?::\d+)?[:,]$"
GCC_FAMILY = [(GCC_MESSAGE, None), (GCC_CONTEXT, "note"), (INCLUDE_CHAIN, "note")]


def python_code_kind(m):
    """flake8 and pycodestyle print no level: a code that names a fault the program cannot run
    with (syntax and I/O errors E9, undefined names F82, invalid comparisons and statements F63,
    F7) is an error, every other code a warning."""
    return "error" if re.match(r"E9|F82|F63|F7", m.group("code")) else "warning"


def pylint_kind(m):
    return "error" if m.group("code")[0] in "EF" else "warning"


def cmake_kind(m):
    return "error" if "Error" in m.group("level") else "warning"


def bash_or_gawk_kind(m):
    return "warning" if m.group("rest").startswith("warning:") else "error"


def php_kind(m):
    return "error" if "error" in m.group("level") else "warning"


def level_below(lines, index, pattern, stop):
    """The level of the first message line below a position line (gfortran: four lines below;
    ShellCheck's report: the highest level of the messages under the header)."""
    found = []
    for text in lines[index + 1:]:
        if re.match(stop, text):
            break
        m = re.search(pattern, text)
        if m:
            found.append(LEVELS[m.group(1)])
    for kind in ("error", "warning", "note"):
        if kind in found:
            return kind
    return None


def level_above(lines, index, pattern):
    """The level of the nearest message line above (rustc: ` --> FILE:LINE:COL` under
    `error[E0308]: ...`)."""
    for text in reversed(lines[:index]):
        m = re.match(pattern, text)
        if m:
            return LEVELS[m.group(1)]
    return None


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


F = r"(?P<file>[^\s:][^:]*)"  # a file name as most tools print it: no leading blank, no colon

# Per tool: (pattern, kind) pairs. kind None takes it from the "level" group through LEVELS; a
# function gets the match (and, with two more parameters, the output lines and the index).
RULES = {
    "clang": GCC_FAMILY,
    "gcc": GCC_FAMILY,
    "g++": GCC_FAMILY,
    "clang-tidy": GCC_FAMILY,
    "tsc": [
        (r"^(?P<file>.+?)\((?P<line>\d+),(?P<col>\d+)\): (?P<level>error|warning) TS\d+:", None),
        (r"^(?P<file>\S.*?):(?P<line>\d+):(?P<col>\d+) - (?P<level>error|warning) TS\d+:", None),
    ],
    "eslint": [
        (r"^(?P<file>/.+?):(?P<line>\d+):(?P<col>\d+): .* \[(?P<level>Error|Warning)(?:/[\w/@-]+)?\]$", None),
        (r"^(?P<file>/.+?): line (?P<line>\d+), col (?P<col>\d+), (?P<level>Error|Warning) - ", None),
        # stylish: the file is the header line above; the position line names none
        (r"^  (?P<line>\d+):(?P<col>\d+)\s+(?P<level>error|warning)  ", None),
    ],
    "mcs": [(r"^(?P<file>.+?)\((?P<line>\d+),(?P<col>\d+)\): (?P<level>error|warning) CS\d+:", None)],
    "mypy": [(r"^(?P<file>[^\s:][^:]*):(?P<line>\d+):(?:(?P<col>\d+):)? (?P<level>error|warning|note):", None)],
    "flake8": [(r"^(?P<file>[^\s:][^:]*):(?P<line>\d+):(?P<col>\d+): (?P<code>[A-Z]+\d+) ", python_code_kind)],
    "pycodestyle": [(r"^(?P<file>[^\s:][^:]*):(?P<line>\d+):(?P<col>\d+): (?P<code>[A-Z]+\d+) ", python_code_kind)],
    "cmake": [
        (r"^CMake (?P<level>Error|Warning|Warning \(dev\)|Deprecation Warning|Deprecation Error) at "
         r"(?P<file>.+?):(?P<line>\d+)(?: \(\w+\))?:$", cmake_kind),
        (r"^  (?P<file>\S.*?):(?P<line>\d+) \(\w+\)$", "trace"),
    ],
    "ninja": [(r"^ninja: error: (?P<file>[^:\s][^:]*):(?P<line>\d+): ", "error")] + GCC_FAMILY,
    "cppcheck": [
        (r"^(?P<file>[^\s:][^:]*):(?P<line>[1-9]\d*):(?P<col>\d+): "
         r"(?P<level>error|warning|style|performance|portability|information|note): ", None),
    ],
    "bash": [(r"^(?P<file>\S.*?): line (?P<line>\d+): (?P<rest>.*)", bash_or_gawk_kind)],
    "gawk": [(r"^gawk: (?P<file>[^:\s][^:]*):(?P<line>\d+): (?P<rest>.*)", bash_or_gawk_kind)],
    # the go cases of this corpus are go vet runs: its own prefixed lines report type errors,
    # the unprefixed ones its findings (warnings, as in the shared corpus)
    "go": [
        (r"^vet: (?P<file>[^\s:][^:]*):(?P<line>\d+):(?P<col>\d+): ", "error"),
        (r"^(?P<file>\.?/?[^\s:#][^:]*):(?P<line>\d+):(?P<col>\d+): ", "warning"),
    ],
    "php": [
        (r"^PHP (?P<level>Parse error|Fatal error|Warning|Notice|Deprecated):  .*? in "
         r"(?P<file>\S+?)(?: on line |:)(?P<line>\d+)", php_kind),
        (r"^#\d+ (?P<file>[^({]+)\((?P<line>\d+)\): ", "trace"),
        (r"^  thrown in (?P<file>.+) on line (?P<line>\d+)$", "error"),
    ],
    "rustc": [
        (r"^(?P<file>[^\s:][^:]*):(?P<line>\d+):(?P<col>\d+): (?P<level>error|warning)(?:\[E\d+\])?:", None),
        (r"^ *--> (?P<file>\S+?):(?P<line>\d+):(?P<col>\d+)$",
         lambda m, lines, i: level_above(lines, i, r"^(error|warning)(?:\[E\d+\])?:")),
    ],
    "cargo": [
        (r"^(?P<file>[^\s:][^:]*):(?P<line>\d+):(?P<col>\d+): (?P<level>error|warning)(?:\[E\d+\])?:", None),
    ],
    # javac -XDrawDiagnostics: FILE:LINE:COL: compiler.err.KEY: ...
    "javac": [
        (r"^(?P<file>[^\s:][^:]*):(?P<line>\d+):(?P<col>\d+): compiler\.(?P<key>err|warn|note)\.",
         lambda m: {"err": "error", "warn": "warning", "note": "note"}[m.group("key")]),
    ],
    "gfortran": [
        (r"^(?P<file>[^\s:][^:]*):(?P<line>\d+):(?P<col>\d+): (?P<level>Error|Warning):", None),
        (r"^(?P<file>[^\s:][^:]*):(?P<line>\d+):(?P<col>\d+):$",
         lambda m, lines, i: level_below(lines, i, r"^(Error|Warning):", r"^\S+:\d+:\d+:")),
    ],
    "shellcheck": [
        (r"^(?P<file>[^\s:][^:]*):(?P<line>\d+):(?P<col>\d+): (?P<level>error|warning|note|style|info):", None),
        (r"^In (?P<file>.+) line (?P<line>\d+):$",
         lambda m, lines, i: level_below(lines, i, r"SC\d+ \((error|warning|info|style)\):", r"^In .+ line \d+:$")),
    ],
    "pylint": [
        (r"^(?P<file>[^\s:][^:]*):(?P<line>\d+):(?P<col>\d+): (?P<code>[A-Z]\d+): ", pylint_kind),
        (r"^(?P<file>[^\s:][^:]*):(?P<line>\d+): \[(?P<code>[A-Z]\d+)\(", pylint_kind),
    ],
    # OCaml: the level stands on a later line (kind lambda m, lines, i: next_level(lines, i)); backtrace frames.
    "ocaml": [(r'^File "(?P<file>.+)", lines? (?P<line>\d+)(?:-\d+)?(?:, characters (?P<col>\d+)-\d+)?:$', lambda m, lines, i: next_level(lines, i)),
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
                 (r"^" + F + r":(?P<line>\d+):\s+: ",
                  lambda m, lines, i: level_above(lines, i, r"^[^\s:][^:]*:\d+: (?:syntax )?(error|warning)"))],
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


def read_table(name):
    with open(os.path.join(HERE, name), newline="") as f:
        return list(csv.reader(f, delimiter="\t", quoting=csv.QUOTE_NONE))


def label(tool, output):
    rules = [(re.compile(pattern), kind) for pattern, kind in RULES[tool]]
    with open(os.path.join(HERE, output), "rb") as f:
        raw_lines = f.read().decode("utf-8").split("\n")
    lines = [ESCAPES.sub("", raw) for raw in raw_lines]
    rows = []
    for index, text in enumerate(lines):
        for rule, kind in rules:
            m = rule.search(text)
            if not m:
                continue
            if kind is None:
                kind = LEVELS[m.group("level")]
            elif callable(kind):
                kind = kind(m, lines, index) if kind.__code__.co_argcount == 3 else kind(m)
            groups = m.groupdict()
            rows.append([tool, output, str(index), groups.get("file") or "", m.group("line"),
                         groups.get("col") or "", kind])
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
