#!/usr/bin/env bash
# Where cutting a document into pieces for several workers starts to pay: for documents of 16
# to 128 pages, the wall time of folverin-cli -j 1 (one worker, no cutting) against its default
# jobs (one worker per usable core; documents from 64 pages on are cut). The documents are the
# first pages of the benchmark's pages-2000.pdf. Runs alternate and each figure is the median.
#
# Usage: bench/pieces.sh [-r RUNS] BUILD_DIR
#   -r RUNS    timed runs per side and size (default 11; two warm-up runs come first)

# The compared commands are functions called by name, which shellcheck takes for dead code.
# shellcheck disable=SC2317
set -euo pipefail

runs=11
build=""
while (($#)); do
    case "$1" in
    -r) runs="${2:?-r needs a number}"; shift 2 ;;
    -h | --help) sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "pieces.sh: unknown option $1" >&2; exit 2 ;;
    *) build="$1"; shift ;;
    esac
done
if [[ -z "$build" ]] || ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: pieces.sh [-r RUNS] BUILD_DIR" >&2
    exit 2
fi

build="$(cd "$build" && pwd)"
cli="$build/bin/folverin-cli"
make_samples="$build/bin/folverin-make-samples"
for program in "$cli" "$make_samples"; do
    [[ -x "$program" ]] || { echo "pieces.sh: $program is missing; build the project first" >&2; exit 2; }
done
command -v qpdf >/dev/null || { echo "pieces.sh: qpdf is missing (package qpdf)" >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/folverin-pieces.XXXXXX")"
trap 'rm -rf "$work"' EXIT
out_one="$work/out-one"
out_pool="$work/out-pool"
mkdir -p "$out_one" "$out_pool"
prepare_run() { rm -f "$out_one"/* "$out_pool"/*; }
# shellcheck source=SCRIPTDIR/measure.bash
source "$(dirname "$0")/measure.bash"

echo "Generating inputs in $work ..." >&2
"$make_samples" --bench "$work/in" >/dev/null
sizes=(16 32 48 64 96 128)
for pages in "${sizes[@]}"; do
    qpdf --empty --pages "$work/in/pages-2000.pdf" "1-$pages" -- "$work/pages-$pages.pdf"
done

doc=""
cli_one() { "$cli" --no-settings -q -j 1 -o "$out_one" "$doc"; }
cli_pool() { "$cli" --no-settings -q -o "$out_pool" "$doc"; }

# Whether the pieces joined give the text of the whole.
same_text() {
    prepare_run
    if ! cli_one >/dev/null 2>&1 || ! cli_pool >/dev/null 2>&1; then
        echo "a run failed"
    elif [[ -n "$(ls -A "$out_one")" ]] && diff -rq "$out_one" "$out_pool" >/dev/null; then
        echo yes
    else
        echo NO
    fi
}

ms() { case "$1" in FAILED) echo FAILED ;; *) awk -v v="$1" 'BEGIN { printf "%.1f", v / 1000 }' ;; esac; }

rows=()
for pages in "${sizes[@]}"; do
    echo "Measuring $pages pages ($runs runs each, alternating) ..." >&2
    doc="$work/pages-$pages.pdf"
    measure "$runs" 2 wall:cli_one wall:cli_pool
    one="${median_of[wall:cli_one]}"
    pool="${median_of[wall:cli_pool]}"
    ratio="-"
    [[ $one != FAILED && $pool != FAILED ]] && ratio=$(awk -v a="$pool" -v b="$one" 'BEGIN { printf "%.3f", a / b }')
    rows+=("$(printf '%6s %12s %14s %12s  %s' "$pages" "$(ms "$one")" "$(ms "$pool")" "$ratio" "$(same_text)")")
done

echo
printf '%6s %12s %14s %12s  %s\n' "pages" "-j 1 (ms)" "default (ms)" "default/-j 1" "same text"
printf '%s\n' "$(printf '%.0s-' {1..62})"
printf '%s\n' "${rows[@]}"
echo
echo "default is one worker per usable core: $(nproc) here. Medians of $runs runs; $(uname -sr)."
