#!/usr/bin/env bash
# Compares folverin-cli with pdftotext doing the same work: wall time on a 200- and a 2,000-page
# file, wall time on 200 one-page files in one call (against -j 1 and against a loop of 200
# pdftotext calls), and peak memory on the 2,000-page file, of the largest process and of the
# whole tree of processes. Rows marked -j 1 measure the mode with one worker, forked from the
# program with the engine loaded.
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

# shellcheck source=SCRIPTDIR/measure.bash
source "$(dirname "$0")/measure.bash"
bench_options 2,14 "$@"

cli="$build/bin/folverin-cli"
make_samples="$build/bin/folverin-make-samples"
treepeak="$build/bin/treepeak"
gnu_time=/usr/bin/time

command -v pdftotext >/dev/null || { echo "compare.sh: pdftotext is missing (package poppler-utils)" >&2; exit 2; }
[[ -x "$gnu_time" ]] || { echo "compare.sh: $gnu_time is missing (package time)" >&2; exit 2; }
[[ -x "$make_samples" ]] || { echo "compare.sh: $make_samples is missing; build the project first" >&2; exit 2; }

have_cli=1
if [[ ! -x "$cli" ]]; then
    have_cli=0
    echo "note: $cli does not exist yet; only the pdftotext side is measured." >&2
fi
have_treepeak=1
if [[ ! -x "$treepeak" ]]; then
    have_treepeak=0
    echo "note: $treepeak is not built (-DFOLVERIN_BUILD_BENCH=ON); the tree memory is not measured." >&2
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/folverin-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
in="$work/in"
out_a="$work/out-folverin"
out_b="$work/out-pdftotext"
mkdir -p "$out_a" "$out_b"
prepare_run() { rm -f "$out_a"/* "$out_b"/*; }

echo "Generating inputs in $in ..." >&2
gen_start=$EPOCHREALTIME
"$make_samples" --bench "$in" >/dev/null
gen_ms=$(((${EPOCHREALTIME/./} - ${gen_start/./}) / 1000))
echo "Generated in ${gen_ms} ms." >&2

# --- the compared commands --------------------------------------------------------------
# Called by name from measure(). Both sides write a file of the same name into their own
# folder, so the texts can be compared folder against folder.

pdftotext_args=(-layout -eol dos -enc Latin1)

folverin() { "${wrap[@]}" "$cli" --no-settings -q -o "$out_a" "$@"; }
pdftotext_of() { "${wrap[@]}" pdftotext "${pdftotext_args[@]}" "$in/$1.pdf" "$out_b/$1.txt"; }

cli_large_1() { folverin -j 1 "$in/pages-200.pdf"; }
pdf_large() { pdftotext_of pages-200; }

cli_huge() { folverin "$in/pages-2000.pdf"; }
cli_huge_1() { folverin -j 1 "$in/pages-2000.pdf"; }
pdf_huge() { pdftotext_of pages-2000; }

cli_many() { folverin "$in/single/"; }
cli_many_1() { folverin -j 1 "$in/single/"; }
pdf_many() {
    local f
    for f in "$in"/single/*.pdf; do
        pdftotext "${pdftotext_args[@]}" "$f" "$out_b/$(basename "$f" .pdf).txt" || return
    done
}

# --- measuring ----------------------------------------------------------------------------

# measure_sides RUNS WARM SIDE...: measures the sides that can run on this build.
measure_sides() {
    local runs="$1" warm="$2" side
    local -a usable=()
    shift 2
    for side in "$@"; do
        [[ $side == *:cli_* ]] && ((!have_cli)) && continue
        [[ $side == tree:* ]] && ((!have_treepeak)) && continue
        usable+=("$side")
    done
    measure "$runs" "$warm" "${usable[@]}"
}

skip_reason() {
    if [[ $1 == *:cli_* ]] && ((!have_cli)); then echo "no folverin-cli"; else echo "no treepeak"; fi
}

rows=()
missed=0
# add_row LABEL SIDE_A SIDE_B TARGET: compares the medians of two measured sides.
add_row() {
    local label="$1" side_a="$2" side_b="$3" target="$4"
    local a="${median_of[$2]:-}" b="${median_of[$3]:-}" shown_a shown_b ratio verdict
    format() {
        case "$1" in
        "") echo "n/a" ;;
        FAILED) echo "FAILED" ;;
        *) if [[ $side_a == wall:* ]]; then awk -v v="$1" 'BEGIN { printf "%.1f ms", v / 1000 }'; else echo "$1 KB"; fi ;;
        esac
    }
    shown_a=$(format "$a")
    shown_b=$(format "$b")
    if [[ -z "$a" || -z "$b" ]]; then
        ratio="-"
        verdict="SKIP ($(skip_reason "$([[ -z "$a" ]] && echo "$side_a" || echo "$side_b")"))"
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
    rows+=("$(printf '%-50s %12s %12s %6s %8s  %s' "$label" "$shown_a" "$shown_b" "$ratio" "<= $target" "$verdict")")
}

echo "Measuring wall time on pages-200.pdf ($runs runs each, alternating) ..." >&2
measure_sides "$runs" 2 wall:cli_large_1 wall:pdf_large
echo "Measuring wall time on pages-2000.pdf ..." >&2
measure_sides "$runs" 2 wall:cli_huge wall:pdf_huge
echo "Measuring wall time on 200 one-page files ..." >&2
measure_sides "$runs" 2 wall:cli_many wall:cli_many_1 wall:pdf_many
rss_runs=$(((runs + 1) / 2))
echo "Measuring peak memory on pages-2000.pdf ($rss_runs runs each) ..." >&2
measure_sides "$rss_runs" 0 rss:cli_huge_1 rss:pdf_huge tree:cli_huge tree:pdf_huge

add_row "wall, pages-200.pdf: cli -j 1 vs pdftotext" wall:cli_large_1 wall:pdf_large 1.05
add_row "wall, pages-2000.pdf: cli vs pdftotext" wall:cli_huge wall:pdf_huge 0.6
add_row "wall, 200 one-page: cli -j 1 vs pdftotext loop" wall:cli_many_1 wall:pdf_many 0.5
add_row "wall, 200 one-page: cli vs cli -j 1" wall:cli_many wall:cli_many_1 0.7
add_row "wall, 200 one-page: cli vs pdftotext loop" wall:cli_many wall:pdf_many 0.15
add_row "peak RSS, pages-2000.pdf: cli -j 1 vs pdftotext" rss:cli_huge_1 rss:pdf_huge 1.2
add_row "peak tree RSS, pages-2000.pdf: cli vs pdftotext" tree:cli_huge tree:pdf_huge 2.5

# The figures only compare like with like if both sides write the same text.
same=()
# same_text LABEL SIDE_A FUNCTION_B: runs both and compares their output folders.
same_text() {
    local label="$1" side_a="$2" fn_b="$3" verdict
    if ((!have_cli)); then
        verdict="not checked (no folverin-cli)"
    elif [[ ${median_of[$side_a]:-} == FAILED ]]; then
        verdict="not checked (folverin-cli failed)"
    else
        prepare_run
        if ! "${side_a#*:}" >/dev/null 2>&1 || ! "$fn_b" >/dev/null 2>&1; then
            verdict="not checked (a command failed)"
        elif [[ -z "$(ls -A "$out_a")" ]]; then
            verdict="NO: folverin-cli wrote nothing"
            missed=1
        elif diff -rq "$out_a" "$out_b" >/dev/null; then
            verdict="yes, byte for byte"
        else
            verdict="NO: $(diff -rq "$out_a" "$out_b" 2>&1 | head -n 1 || true)"
            missed=1
        fi
    fi
    same+=("$(printf '  %-30s %s' "$label:" "$verdict")")
}
echo "Comparing the texts ..." >&2
same_text "pages-200.pdf, cli -j 1" wall:cli_large_1 pdf_large
same_text "pages-2000.pdf, cli" wall:cli_huge pdf_huge
same_text "200 one-page files, cli" wall:cli_many pdf_many

echo
printf '%-50s %12s %12s %6s %8s  %s\n' "figure (median): A vs B" "A" "B" "A/B" "target" "result"
printf '%s\n' "$(printf '%.0s-' {1..104})"
printf '%s\n' "${rows[@]}"
echo
echo "cli is folverin-cli with its default jobs: $(nproc) worker processes here; -j 1 converts in one worker forked from it."
echo "peak RSS is the largest single process (GNU time); peak tree RSS sums the process and its"
echo "descendants, sampled every 2 ms (treepeak), for both sides."
echo "Same text as pdftotext:"
printf '%s\n' "${same[@]}"
echo "Inputs generated in ${gen_ms} ms; $(nproc) CPUs; $(uname -sr)."
((have_cli)) || echo "folverin-cli does not exist yet in $build/bin: its column is n/a."

if ((strict && missed)); then
    exit 1
fi
exit 0
