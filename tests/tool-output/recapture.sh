#!/bin/bash
# Installs the tools of this corpus and captures the output of every case of cases.tsv again,
# rewriting the <tool>/<case>.txt files and the exit_status column. Usage:
#   tests/tool-output/recapture.sh [--no-install] [TOOL...]
# With TOOL names, only the cases of those tools are captured. The rules are those of README.md:
# `bash -c COMMAND` in a copy of the case folder, environment emptied and then only PATH, HOME,
# TERM, LANG, TMPDIR and PYTHONDONTWRITEBYTECODE plus the case's env column, standard input from
# /dev/null, standard output and standard error into one file, and the absolute path of the
# scratch project folder replaced by /src/project.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
install=yes
if [ "${1-}" = "--no-install" ]; then install=no; shift; fi
wanted=" $* "

if [ "$install" = yes ]; then
    apt-get update
    grep -v '^#' "$here/packages.txt" | xargs -r env DEBIAN_FRONTEND=noninteractive apt-get install -y
    if [ -s "$here/npm-packages.txt" ]; then
        grep -v '^#' "$here/npm-packages.txt" | xargs -r npm install -g
    fi
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
project="$scratch/project"
mkdir -p "$project"

# Fields are tab-separated and may be empty; `read` with a tab in IFS would merge empty fields,
# so the tabs are turned into a separator that is not white space first.
split_row() { IFS=$'\x1f' read -r "$@" <<<"${row//$'\t'/$'\x1f'}"; }

table="$scratch/cases.tsv"
first=yes
while IFS= read -r row; do
    if [ "$first" = yes ]; then printf '%s\n' "$row" >"$table"; first=no; continue; fi
    split_row tool case output source cwd command setup status envs
    if [ "$wanted" != "  " ] && [[ "$wanted" != *" $tool "* ]]; then
        printf '%s\n' "$row" >>"$table"
        continue
    fi
    dir="$project/$tool/$case"
    mkdir -p "$dir"
    if [ -n "$source" ]; then cp -a "$here/$source/." "$dir/"; fi
    home=$(mktemp -d "$scratch/home.XXXXXX")
    tmp=$(mktemp -d "$scratch/tmp.XXXXXX")
    extra=()
    while [[ "$envs" == *"<empty scratch dir>"* ]]; do
        envs="${envs/<empty scratch dir>/$(mktemp -d "$scratch/env.XXXXXX")}"
    done
    if [ -n "$envs" ]; then read -ra extra <<<"$envs"; fi
    run() {
        (cd "$dir" && env -i PATH=/usr/bin:/bin HOME="$home" TERM=dumb LANG=C.UTF-8 TMPDIR="$tmp" \
            PYTHONDONTWRITEBYTECODE=1 "${extra[@]}" bash -c "$1" </dev/null)
    }
    if [ -n "$setup" ]; then run "$setup" >/dev/null 2>&1 || true; fi
    status=0
    run "$command" >"$scratch/out" 2>&1 || status=$?
    SCRATCH_PROJECT="$project" perl -pe 's/\Q$ENV{SCRATCH_PROJECT}\E/\/src\/project/g' "$scratch/out" >"$here/$output"
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$tool" "$case" "$output" "$source" "$cwd" "$command" \
        "$setup" "$status" "$(cut -f9 <<<"$row")" >>"$table"
    echo "$output: exit $status, $(wc -l <"$here/$output") lines"
done <"$here/cases.tsv"
cp "$table" "$here/cases.tsv"
