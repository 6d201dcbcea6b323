#!/usr/bin/env bash
# What the Markdown output costs: a 200-page manual (chapters of headings, paragraphs running
# over page ends, lists, code and tables, a running head and page numbers; written by
# weasyprint) converted by folverin-cli as "Markdown File" against "Text File", with one
# worker (-j 1) and with its workers (one per usable core), beside pdftotext. Each figure is
# the median of the runs; pages per second follow from it.
#
# Usage: bench/markdown.sh [-r RUNS] BUILD_DIR     (RUNS default 5)
set -euo pipefail

runs=5
build=""
while (($#)); do
    case "$1" in
    -r) runs="${2:?-r needs a number}"; shift 2 ;;
    -h | --help) sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "markdown.sh: unknown option $1" >&2; exit 2 ;;
    *) build="$1"; shift ;;
    esac
done
if [[ -z "$build" ]] || ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: markdown.sh [-r RUNS] BUILD_DIR" >&2
    exit 2
fi
build="$(cd "$build" && pwd)"
cli="$build/bin/folverin-cli"
[[ -x "$cli" ]] || { echo "markdown.sh: $cli is missing; build the project" >&2; exit 2; }
for tool in weasyprint pdftotext pdfinfo; do
    command -v "$tool" >/dev/null || { echo "markdown.sh: $tool is missing (scripts/setup installs it)" >&2; exit 2; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
manual="$work/manual.pdf"
{
    echo '<!DOCTYPE html><html lang="en"><head><meta charset="utf-8"><title>Manual</title><style>'
    echo '@page { size: A5; margin: 2cm 1.8cm; @top-center { content: "Bench Manual"; font-size: 8pt; }'
    echo '  @bottom-center { content: counter(page); font-size: 8pt; } }'
    echo 'body { font-family: "DejaVu Serif"; font-size: 10pt; } pre { font-family: "DejaVu Sans Mono"; }'
    echo 'table { border-collapse: collapse; } td { border: 1px solid black; padding: 2pt 6pt; }'
    echo '</style></head><body>'
    for chapter in $(seq 1 40); do
        echo "<h1>Chapter $chapter</h1>"
        for section in 1 2; do
            echo "<h2>Section $chapter.$section</h2>"
            for paragraph in 1 2 3; do
                echo -n "<p>Paragraph $paragraph tells how the converter reads a page"
                for clause in $(seq 1 12); do echo -n ", and then it goes on with clause $clause about the words it finds"; done
                echo ".</p>"
            done
            echo "<ul><li>First point of the list</li><li>Second point<ul><li>Nested point</li></ul></li></ul>"
            echo "<pre>folverin-cli --markdown chapter$chapter.pdf
if (ready) {
    convert(page);
}</pre>"
            echo "<table><tr><td>Option</td><td>Meaning</td></tr><tr><td>--text</td><td>Plain text</td></tr>"
            echo "<tr><td>--markdown</td><td>Markdown</td></tr><tr><td>--html</td><td>HTML page</td></tr></table>"
        done
    done
    echo '</body></html>'
} >"$work/manual.html"
weasyprint "$work/manual.html" "$manual"
pages=$(pdfinfo "$manual" | awk '/^Pages:/ { print $2 }')

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v start="$start" -v end="$end" 'BEGIN { print end - start }'
}
time_of() {
    for _ in $(seq 1 "$runs"); do seconds "$@"; done | median
}
mkdir -p "$work/out"
convert() { "$cli" --no-settings -q --encoding UTF-8 -o "$work/out" "$@" "$manual"; }
in_text=$(time_of convert -j 1 --text)
in_markdown=$(time_of convert -j 1 --markdown)
cli_text=$(time_of convert --text)
cli_markdown=$(time_of convert --markdown)
oracle=$(time_of pdftotext -enc UTF-8 "$manual" "$work/out/pdftotext.txt")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { print a / b }'; }
row() { printf '%-36s %8.3f s %8.1f pages/s\n' "$1" "$2" "$(ratio "$pages" "$2")"; }
echo "manual of $pages pages, median of $runs runs"
row "folverin-cli -j 1, Text File" "$in_text"
row "folverin-cli -j 1, Markdown File" "$in_markdown"
row "folverin-cli workers, Text File" "$cli_text"
row "folverin-cli workers, Markdown File" "$cli_markdown"
row "pdftotext" "$oracle"
printf 'Markdown / Text: -j 1 %.2f, workers %.2f (target <= 1.5)\n' \
    "$(ratio "$in_markdown" "$in_text")" "$(ratio "$cli_markdown" "$cli_text")"
