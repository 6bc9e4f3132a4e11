#!/usr/bin/env python3
"""Writes the fixed cases of the differential comparison, one a line: modifiers, then the
expression and its subjects in hex ("-" for an empty one).

The expressions are those of the shipped type files (their #REGEXP lines, against lines of tool
output), and every row of the engine's test tables (each string literal of a row that starts
with one: the first is the expression, the others its subjects), under four modifier sets."""
import codecs
import glob
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else '.'

TOOL_LINES = [
    "main.c:42: error: expected ';' before '}' token",
    "src/lib/util.cc:7:13: warning: unused variable 'x' [-Wunused-variable]",
    "In file included from include/a.h:3,",
    "C:\\work\\prog.cpp(120): error C2065: 'foo': undeclared identifier",
    "C:\\work\\prog.cpp(120,7): warning C4101",
    '  File "script.py", line 12, in <module>',
    "Traceback (most recent call last):",
    "make: *** [Makefile:12: all] Error 1",
    "/usr/bin/ld: main.o: in function `main':",
    "Error: Main.java:5: cannot find symbol",
    "app.go:10:2: undefined: fmt.Printx",
    "\x1b[01m\x1b[Kmain.c:3:1:\x1b[m\x1b[K error",
    "raised CONSTRAINT_ERROR : main.adb:12 range check failed",
    "nothing to see here",
    "",
]
TEST_MODIFIERS = [14, 15, 6, 30]
LITERAL = re.compile(r'"((?:[^"\\]|\\.)*)"')


def hexed(text):
    return text.encode('latin-1').hex() or '-'


def c_string(body):
    # C escapes as the tests write them; "\?" is a question mark.
    return codecs.decode(body.replace('\\?', '?'), 'unicode_escape')


def case(modifiers, pattern, subjects):
    print(modifiers, hexed(pattern), *[hexed(s) for s in subjects])


for path in sorted(glob.glob(os.path.join(root, 'dist', 'Types', '*.ini'))):
    with open(path, encoding='latin-1') as ini:
        for line in ini:
            if line.upper().startswith('#REGEXP='):
                case(14, line.rstrip('\r\n')[len('#REGEXP='):], TOOL_LINES)

for path in sorted(glob.glob(os.path.join(root, 'tests', 'regexpr', '*_test.cpp'))):
    with open(path, encoding='latin-1') as source:
        for line in source:
            if not line.lstrip().startswith('{"'):
                continue
            try:
                strings = [c_string(s) for s in LITERAL.findall(line)]
                strings[0].encode('latin-1')
            except (UnicodeError, IndexError):
                continue
            subjects = [s for s in strings[1:3] if all(ord(ch) < 256 for ch in s)] or TOOL_LINES[:3]
            for modifiers in TEST_MODIFIERS:
                case(modifiers, strings[0], subjects)
