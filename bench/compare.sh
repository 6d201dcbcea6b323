#!/usr/bin/env bash
# Compares folverin-cli with pdftotext doing the same work: wall time on one 200-page file, wall
# time on 200 one-page files in one call against a loop of 200 pdftotext calls, and peak memory
# on a 2,000-page file.
#
# Runs alternate (A B A B ...) so that drift in machine load hits both sides alike; hyperfine
# runs all of one command before the next, so it is not used here. Each figure is the median.
#
# Usage: bench/compare.sh [-r RUNS] [--strict] BUILD_DIR
#   -r RUNS    timed runs per side (default 11; two warm-up runs come first)
#   --strict   exit 1 when a figure misses its target (default: report only)

# The compared commands are functions called by name, which shellcheck takes for dead code.
# shellcheck disable=SC2317
set -euo pipefail

runs=11
strict=0
build=""
while (($#)); do
    case "$1" in
    -r) runs="${2:?-r needs a number}"; shift 2 ;;
    --strict) strict=1; shift ;;
    -h | --help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "compare.sh: unknown option $1" >&2; exit 2 ;;
    *) build="$1"; shift ;;
    esac
done
if [[ -z "$build" ]]; then
    echo "usage: compare.sh [-r RUNS] [--strict] BUILD_DIR" >&2
    exit 2
fi
if ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then
    echo "compare.sh: RUNS must be a positive number" >&2
    exit 2
fi

build="$(cd "$build" && pwd)"
cli="$build/bin/folverin-cli"
make_samples="$build/bin/folverin-make-samples"
gnu_time=/usr/bin/time

command -v pdftotext >/dev/null || { echo "compare.sh: pdftotext is missing (package poppler-utils)" >&2; exit 2; }
[[ -x "$gnu_time" ]] || { echo "compare.sh: $gnu_time is missing (package time)" >&2; exit 2; }
[[ -x "$make_samples" ]] || { echo "compare.sh: $make_samples is missing; build the project first" >&2; exit 2; }

have_cli=1
if [[ ! -x "$cli" ]]; then
    have_cli=0
    echo "note: $cli does not exist yet; only the pdftotext side is measured." >&2
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/folverin-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
in="$work/in"
out_a="$work/out-folverin"
out_b="$work/out-pdftotext"
mkdir -p "$out_a" "$out_b"

echo "Generating inputs in $in ..." >&2
gen_start=$EPOCHREALTIME
"$make_samples" --bench "$in" >/dev/null
gen_ms=$(((${EPOCHREALTIME/./} - ${gen_start/./}) / 1000))
echo "Generated in ${gen_ms} ms." >&2

# --- the compared commands --------------------------------------------------------------
# Called by name from measure().

pdftotext_args=(-layout -eol dos -enc Latin1)

a_large() { "$cli" --no-settings -q -o "$out_a" "$in/pages-200.pdf"; }
b_large() { pdftotext "${pdftotext_args[@]}" "$in/pages-200.pdf" "$out_b/x.txt"; }

a_many() { "$cli" --no-settings -q -o "$out_a" "$in/single/"; }
b_many() {
    local f
    for f in "$in"/single/*.pdf; do
        pdftotext "${pdftotext_args[@]}" "$f" "$out_b/$(basename "$f" .pdf).txt" || return
    done
}

# For memory the program itself runs under GNU time, with no shell in between.
wrap=()
a_huge() { "${wrap[@]}" "$cli" --no-settings -q -o "$out_a" "$in/pages-2000.pdf"; }
b_huge() { "${wrap[@]}" pdftotext "${pdftotext_args[@]}" "$in/pages-2000.pdf" "$out_b/x.txt"; }

# --- measuring ----------------------------------------------------------------------------

# Wall time of one run in microseconds on stdout; a failing command fails the measurement, so
# a crash can never be reported as a fast run.
wall_us() {
    local start end
    start=$EPOCHREALTIME
    "$@" >/dev/null 2>"$work/stderr" || { echo "(exit status $?)" >>"$work/stderr"; return 1; }
    end=$EPOCHREALTIME
    echo $((${end/./} - ${start/./}))
}

# Peak resident set size of one run in kilobytes.
peak_kb() {
    local status=0
    wrap=("$gnu_time" -f %M -o "$work/rss")
    "$1" >/dev/null 2>"$work/stderr" || status=$?
    wrap=()
    if ((status != 0)); then
        echo "(exit status $status)" >>"$work/stderr"
        return 1
    fi
    tail -n 1 "$work/rss"
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) exit 1; print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Runs the two sides alternately; leaves the medians in med_a and med_b ("" when not measured,
# "FAILED" when a run failed; a side that failed is not run again, the other goes on).
measure() {
    local kind="$1" fa="$2" fb="$3" count="$4" warm="$5" i side fn value
    local -a va=() vb=()
    local -A failed=()
    local sides=(b)
    ((have_cli)) && sides=(a b)
    for ((i = 0; i < warm + count; i++)); do
        for side in "${sides[@]}"; do
            [[ -n "${failed[$side]:-}" ]] && continue
            fn="$fa"
            [[ $side == b ]] && fn="$fb"
            rm -f "$out_a"/* "$out_b"/*
            if [[ $kind == wall ]]; then
                value=$(wall_us "$fn") || value=FAILED
            else
                value=$(peak_kb "$fn") || value=FAILED
            fi
            if [[ $value == FAILED ]]; then
                echo "compare.sh: $fn failed: $(tail -c 300 "$work/stderr")" >&2
                failed[$side]=1
                continue
            fi
            ((i < warm)) && continue
            if [[ $side == a ]]; then va+=("$value"); else vb+=("$value"); fi
        done
    done
    med_a="" med_b=""
    if [[ -n "${failed[a]:-}" ]]; then med_a=FAILED; elif ((${#va[@]})); then med_a=$(printf '%s\n' "${va[@]}" | median); fi
    if [[ -n "${failed[b]:-}" ]]; then med_b=FAILED; else med_b=$(printf '%s\n' "${vb[@]}" | median); fi
    return 0
}

rows=()
missed=0
# add_row LABEL A B UNIT TARGET: A and B in microseconds (wall) or kilobytes (rss)
add_row() {
    local label="$1" a="$2" b="$3" unit="$4" target="$5" shown_a shown_b ratio verdict
    format() {
        case "$1" in
        "") echo "n/a" ;;
        FAILED) echo "FAILED" ;;
        *) if [[ $unit == us ]]; then awk -v v="$1" 'BEGIN { printf "%.1f ms", v / 1000 }'; else echo "$1 KB"; fi ;;
        esac
    }
    shown_a=$(format "$a")
    shown_b=$(format "$b")
    if [[ -z "$a" ]]; then
        ratio="-"
        verdict="SKIP (no folverin-cli)"
    elif [[ $a == FAILED || $b == FAILED ]]; then
        ratio="-"
        verdict="FAIL (command failed)"
        missed=1
    else
        ratio=$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.3f", a / b }')
        if awk -v r="$ratio" -v t="$target" 'BEGIN { exit !(r <= t) }'; then
            verdict="ok"
        else
            verdict="MISSED"
            missed=1
        fi
    fi
    rows+=("$(printf '%-44s %14s %14s %7s %8s  %s' "$label" "$shown_a" "$shown_b" "$ratio" "<= $target" "$verdict")")
}

echo "Measuring wall time on pages-200.pdf ($runs runs each, alternating) ..." >&2
measure wall a_large b_large "$runs" 2
add_row "wall time, pages-200.pdf" "$med_a" "$med_b" us 1.05
large_a_ok=$med_a

echo "Measuring wall time on 200 one-page files ..." >&2
measure wall a_many b_many "$runs" 2
add_row "wall time, 200 one-page PDFs" "$med_a" "$med_b" us 0.5

rss_runs=$(((runs + 1) / 2))
echo "Measuring peak memory on pages-2000.pdf ($rss_runs runs each) ..." >&2
measure rss a_huge b_huge "$rss_runs" 0
add_row "peak RSS, pages-2000.pdf" "$med_a" "$med_b" kb 1.2

# The figures only compare like with like if both sides write the same text.
same="not checked (no folverin-cli)"
if [[ $large_a_ok == FAILED ]]; then
    same="not checked (folverin-cli failed)"
elif ((have_cli)); then
    rm -f "$out_a"/* "$out_b"/*
    if a_large >/dev/null 2>&1 && b_large >/dev/null 2>&1; then
        if [[ ! -f "$out_a/pages-200.txt" ]]; then
            same="NO: folverin-cli wrote no pages-200.txt"
            missed=1
        elif cmp -s "$out_a/pages-200.txt" "$out_b/x.txt"; then
            same="yes, byte for byte"
        else
            same="NO: $(cmp "$out_a/pages-200.txt" "$out_b/x.txt" 2>&1 | head -n 1 || true)"
            missed=1
        fi
    else
        same="not checked (a command failed)"
    fi
fi

echo
printf '%-44s %14s %14s %7s %8s  %s\n' "figure (median)" "folverin-cli" "pdftotext" "ratio" "target" "result"
printf '%s\n' "$(printf '%.0s-' {1..104})"
printf '%s\n' "${rows[@]}"
echo
echo "Same text from both on pages-200.pdf: $same"
echo "Inputs generated in ${gen_ms} ms; $(nproc) CPUs; $(uname -sr)."
((have_cli)) || echo "folverin-cli does not exist yet in $build/bin: its column is n/a."

if ((strict && missed)); then
    exit 1
fi
exit 0
