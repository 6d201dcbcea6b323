#!/usr/bin/env bash
# What the Markdown output costs: folverin-cli --markdown against --text with the same workers
# (its default jobs, and -j 1), on a 200-page manual (headings, paragraphs, lists, code, tables,
# running heads and page numbers, written from HTML by weasyprint) and on the benchmark's
# pages-200.pdf (plain lines of text); and pages per second of each beside pdftotext. Runs
# alternate and each figure is the median.
#
# Usage: bench/markdown.sh [-r RUNS] [--strict] BUILD_DIR
#   -r RUNS    timed runs per side (default 11; two warm-up runs come first)
#   --strict   exit 1 when a figure misses its target (default: report only)

# The compared commands are functions called by name, which shellcheck takes for dead code.
# shellcheck disable=SC2317
set -euo pipefail

# shellcheck source=SCRIPTDIR/measure.bash
source "$(dirname "$0")/measure.bash"
bench_options 2,10 "$@"

cli="$build/bin/folverin-cli"
make_samples="$build/bin/folverin-make-samples"
for program in "$cli" "$make_samples"; do
    [[ -x "$program" ]] || { echo "markdown.sh: $program is missing; build the project first" >&2; exit 2; }
done
for tool in pdftotext pdfinfo qpdf; do
    command -v "$tool" >/dev/null || { echo "markdown.sh: $tool is missing (packages poppler-utils, qpdf)" >&2; exit 2; }
done
have_weasyprint=1
if ! command -v weasyprint >/dev/null; then
    have_weasyprint=0
    echo "note: weasyprint is missing (package weasyprint); the manual is not measured." >&2
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/folverin-markdown.XXXXXX")"
trap 'rm -rf "$work"' EXIT
out_md="$work/out-markdown"
out_text="$work/out-text"
out_pdf="$work/out-pdftotext"
mkdir -p "$out_md" "$out_text" "$out_pdf"
prepare_run() { rm -f "$out_md"/* "$out_text"/* "$out_pdf"/*; }

pages=200

# One chapter of the manual: what a reference manual holds, numbered so no two are alike.
chapter() {
    local n="$1" s
    printf '<h1>%d. Chapter %d</h1>\n' "$n" "$n"
    for s in 1 2 3; do
        printf '<h2>%d.%d Section on option %d</h2>\n' "$n" "$s" "$((n * 10 + s))"
        printf '<p>This section describes how the converter treats option %d. The option is read when a job starts and kept for the whole batch, so a change made while a batch runs takes effect with the next one. A sentence that runs over several lines of the page shows how the lines of a paragraph are joined again.</p>\n' "$((n * 10 + s))"
        printf '<ul><li>The first point about option %d.</li><li>A second point, long enough to run on to a second line of the page in the manual.</li><li>A third point.</li></ul>\n' "$((n * 10 + s))"
        printf '<ol><li>Open the file.</li><li>Choose the option.</li><li>Convert.</li></ol>\n'
        printf '<pre>folverin-cli --markdown -o out/ chapter-%d.pdf\n    for page in pages: write(page)\n</pre>\n' "$n"
        printf '<table><tr><th>Name</th><th>Value</th><th>Meaning</th></tr><tr><td>alpha</td><td>%d</td><td>the first</td></tr><tr><td>beta</td><td>%d</td><td>the second</td></tr><tr><td>gamma</td><td>%d</td><td>the third</td></tr></table>\n' "$n" "$s" "$((n + s))"
        printf '<p>See <a href="https://www.example.org/manual/%d">the online manual</a> for more.</p>\n' "$n"
    done
}

manual() {
    local html="$work/manual.html" n
    {
        printf '<!DOCTYPE html><html lang="en"><head><meta charset="utf-8"><title>Folverin benchmark manual</title><style>\n'
        printf '@page { size: A4; margin: 2.5cm 2cm; @top-center { content: "Folverin benchmark manual"; font-size: 9pt; } @bottom-center { content: counter(page); font-size: 9pt; } }\n'
        printf 'body { font-family: serif; font-size: 11pt; } h1 { font-size: 20pt; } h2 { font-size: 14pt; } p { text-align: justify; } pre { font-family: monospace; } table, td, th { border: 1px solid black; border-collapse: collapse; }\n'
        printf '</style></head><body>\n'
        for ((n = 1; n <= 130; n++)); do chapter "$n"; done
        printf '</body></html>\n'
    } >"$html"
    weasyprint -q "$html" "$work/manual-long.pdf"
    local written
    written=$(pdfinfo "$work/manual-long.pdf" | awk '/^Pages:/ { print $2 }')
    if ((written < pages)); then
        echo "markdown.sh: the manual has only $written pages" >&2
        exit 2
    fi
    qpdf --empty --pages "$work/manual-long.pdf" "1-$pages" -- "$in/manual-200.pdf"
}

in="$work/in"
echo "Generating inputs in $in ..." >&2
"$make_samples" --bench "$in" >/dev/null
inputs=(pages-200)
if ((have_weasyprint)); then
    echo "Writing the $pages-page manual with weasyprint ..." >&2
    manual
    inputs=(manual-200 pages-200)
fi

# --- the compared commands ----------------------------------------------------------------
# Both modes with the same options and UTF-8, as the README recommends for Markdown.

doc=""
cli_as() { "$cli" --no-settings --encoding UTF-8 -q "$@"; }
md_pool() { cli_as --markdown -o "$out_md" "$in/$doc.pdf"; }
text_pool() { cli_as --text -o "$out_text" "$in/$doc.pdf"; }
md_one() { cli_as -j 1 --markdown -o "$out_md" "$in/$doc.pdf"; }
text_one() { cli_as -j 1 --text -o "$out_text" "$in/$doc.pdf"; }
pdftotext_run() { pdftotext -layout -enc UTF-8 -eol dos "$in/$doc.pdf" "$out_pdf/$doc.txt"; }

# --- measuring ------------------------------------------------------------------------------

ms() { case "$1" in FAILED) echo FAILED ;; *) awk -v v="$1" 'BEGIN { printf "%.1f", v / 1000 }' ;; esac; }
per_second() { case "$1" in FAILED) echo FAILED ;; *) awk -v p="$pages" -v v="$1" 'BEGIN { printf "%.0f", p / (v / 1e6) }' ;; esac; }

# Prints one row; runs in a subshell, so a miss is found in the rows afterwards.
ratio_row() {
    local label="$1" a="$2" b="$3" target=1.5 ratio verdict
    if [[ $a == FAILED || $b == FAILED ]]; then
        ratio="-"
        verdict="FAIL (command failed)"
    else
        ratio=$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.3f", a / b }')
        if awk -v r="$ratio" -v t="$target" 'BEGIN { exit !(r <= t) }'; then verdict="ok"; else verdict="MISSED"; fi
    fi
    printf '%-44s %10s %10s %6s %7s  %s\n' "$label" "$(ms "$a")" "$(ms "$b")" "$ratio" "<= $target" "$verdict"
}

# Whether the .md written is Markdown: while the engine writes another mode's output for it,
# the figures measure that instead.
markdown_check() {
    prepare_run
    if ! md_one >/dev/null 2>&1; then
        echo "not checked (the run failed)"
    elif [[ ! -s "$out_md/$doc.md" ]]; then
        echo "NO: nothing written"
    elif grep -qi '^<pre>\|^<!DOCTYPE\|^<html' "$out_md/$doc.md"; then
        echo "NO: $doc.md holds HTML"
    else
        echo "yes ($(wc -l <"$out_md/$doc.md") lines)"
    fi
}

ratios=()
speeds=()
checks=()
for doc in "${inputs[@]}"; do
    echo "Measuring $doc.pdf ($runs runs each, alternating) ..." >&2
    measure "$runs" 2 wall:md_pool wall:text_pool wall:md_one wall:text_one wall:pdftotext_run
    ratios+=("$(ratio_row "$doc: --markdown vs --text" "${median_of[wall:md_pool]}" "${median_of[wall:text_pool]}")")
    ratios+=("$(ratio_row "$doc: -j 1 --markdown vs -j 1 --text" "${median_of[wall:md_one]}" "${median_of[wall:text_one]}")")
    speeds+=("$(printf '%-14s %12s %12s %12s %12s %12s' "$doc" \
        "$(per_second "${median_of[wall:md_pool]}")" "$(per_second "${median_of[wall:text_pool]}")" \
        "$(per_second "${median_of[wall:md_one]}")" "$(per_second "${median_of[wall:text_one]}")" \
        "$(per_second "${median_of[wall:pdftotext_run]}")")")
    checks+=("$(printf '  %-14s %s' "$doc:" "$(markdown_check)")")
done
missed=0
[[ " ${ratios[*]} " == *" FAIL ("* || " ${ratios[*]} " == *" MISSED"* ]] && missed=1

echo
printf '%-44s %10s %10s %6s %7s  %s\n' "wall time (median ms): A vs B" "A" "B" "A/B" "target" "result"
printf '%s\n' "$(printf '%.0s-' {1..92})"
printf '%s\n' "${ratios[@]}"
echo
echo "pages per second ($pages pages; cli is folverin-cli --no-settings --encoding UTF-8):"
printf '%-14s %12s %12s %12s %12s %12s\n' "input" "--markdown" "--text" "-j1 --md" "-j1 --text" "pdftotext"
printf '%s\n' "${speeds[@]}"
echo
echo "The .md files are Markdown:"
printf '%s\n' "${checks[@]}"
echo "Default jobs: one worker per usable core, $(nproc) here. pdftotext -layout -enc UTF-8 -eol dos."
echo "Medians of $runs runs; $(uname -sr)."

if ((strict && missed)); then
    exit 1
fi
exit 0
