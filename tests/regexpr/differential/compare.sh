#!/usr/bin/env bash
# Compares what two builds of the regular-expression engine make of the same expressions: the
# engine at a git revision (checked out into a temporary worktree) and the working tree. Both are
# built with the same dump program (RegExprDiffDump.cpp) and run on the shipped expressions, the
# rows of the engine's test tables (cases.py) and a generated set; the counts of cases whose
# program, hints or compile error differ, and of those whose matches differ, are printed, with
# the first few of each in full.
#
#   tests/regexpr/differential/compare.sh REVISION [GENERATED]   (default 300000 expressions,
#                                                                  each under 4 modifier sets)
set -euo pipefail
cd "$(dirname "$0")/../../.."
root=$(pwd)
revision=${1:?usage: compare.sh REVISION [GENERATED]}
generated=${2:-300000}
here=tests/regexpr/differential

work=$(mktemp -d)
cleanup() {
    git -C "$root" worktree remove --force "$work/old" >/dev/null 2>&1 || true
    git -C "$root" worktree prune
    rm -rf "$work"
}
trap cleanup EXIT
git worktree add --quiet --detach "$work/old" "$revision"

build() {  # source root, output
    g++ -std=c++20 -O2 -I"$1" "$here/RegExprDiffDump.cpp" "$1"/regexpr/*.cpp -o "$2"
}
build "$work/old" "$work/dump-old" &
build "$root" "$work/dump-new"
wait

python3 "$here/cases.py" "$root" >"$work/cases.txt"
"$work/dump-old" "$work/cases.txt" "$generated" >"$work/old.txt" &
"$work/dump-new" "$work/cases.txt" "$generated" >"$work/new.txt"
wait

fixed=$(wc -l <"$work/cases.txt")
python3 - "$work" "$fixed" "$revision" "$generated" <<'PY'
import subprocess, sys
work, fixed, revision, generated = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
old = open(f'{work}/old.txt').read().split('\n')
new = open(f'{work}/new.txt').read().split('\n')
assert len(old) == len(new), 'the two builds ran different numbers of cases'
total = compile_diff = match_diff = compiled_same = 0
compile_cases, match_cases = [], []
for a, b in zip(old, new):
    if not a:
        continue
    index, ca, ma = a.split()
    _, cb, mb = b.split()
    total += 1
    if ca != cb:
        compile_diff += 1
        compile_cases.append(index)
    else:
        compiled_same += 1
        if ma != mb:
            match_diff += 1
            match_cases.append(index)
print(f'{revision} against the working tree: {total} cases ({fixed} fixed, {total - fixed} generated)')
print(f'  program, hints or compile error: {compiled_same} identical, {compile_diff} different')
generated_match = sum(1 for i in match_cases if int(i) >= fixed)
print(f'  matches (where the compile record is identical): {compiled_same - match_diff} identical, {match_diff} different'
      f' ({match_diff - generated_match} fixed, {generated_match} generated)')
for name, cases in (('compile', compile_cases), ('match', match_cases)):
    if not cases:
        continue
    only = ','.join(cases[:8])
    for build in ('old', 'new'):
        print(f'--- first {name} differences, {build} build')
        print(subprocess.run([f'{work}/dump-{build}', f'{work}/cases.txt', generated, '--detail', '--only', only],
                             capture_output=True, text=True).stdout, end='')
PY
