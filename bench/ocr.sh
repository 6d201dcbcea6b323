#!/usr/bin/env bash
# Reading scanned pages: 20 scanned pages converted by folverin-cli (one worker per usable
# core, a page per piece) against a shell loop running the tesseract command on the same
# 300-dpi page pictures one after another, as installed (its own threads) and with one thread,
# and against ocrmypdf writing their text (--sidecar) with as many jobs as cores, as it comes
# and with --rotate-pages --deskew (the turning and straightening folverin-cli always does);
# and what telling scans from text costs a text document: the 2000-page benchmark text
# converted in one process with "Pages Without Text" against "No", and 120 of its pages with a
# logo on each converted by folverin-cli (its workers) and in one process, --ocr auto against
# --ocr no. Runs alternate and each figure is the median.
#
# Usage: bench/ocr.sh [-r RUNS] BUILD_DIR
#   -r RUNS    timed runs per side of the scans (default 1; minutes each); the text gets
#              nine times as many, after a warm-up run

# The compared commands are functions called by name, which shellcheck takes for dead code.
# shellcheck disable=SC2317
set -euo pipefail

runs=1
build=""
while (($#)); do
    case "$1" in
    -r) runs="${2:?-r needs a number}"; shift 2 ;;
    -h | --help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "ocr.sh: unknown option $1" >&2; exit 2 ;;
    *) build="$1"; shift ;;
    esac
done
if [[ -z "$build" ]] || ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: ocr.sh [-r RUNS] BUILD_DIR" >&2
    exit 2
fi

build="$(cd "$build" && pwd)"
cli="$build/bin/folverin-cli"
convert="$build/bin/bench_ocr_convert"
make_samples="$build/bin/folverin-make-samples"
for program in "$cli" "$convert" "$make_samples"; do
    [[ -x "$program" ]] || { echo "ocr.sh: $program is missing; build the project with benchmarks" >&2; exit 2; }
done
for tool in qpdf pdftoppm img2pdf tesseract ocrmypdf; do
    command -v "$tool" >/dev/null || { echo "ocr.sh: $tool is missing (scripts/setup installs it)" >&2; exit 2; }
done

work="$(mktemp -d "${TMPDIR:-/tmp}/folverin-ocr.XXXXXX")"
trap 'rm -rf "$work"' EXIT
out="$work/out"
mkdir -p "$out"
prepare_run() { rm -rf "${out:?}"/*; }
# shellcheck source=SCRIPTDIR/measure.bash
source "$(dirname "$0")/measure.bash"

echo "Generating inputs in $work ..." >&2
"$make_samples" --bench "$work/in" >/dev/null
text="$work/in/pages-2000.pdf"
qpdf --empty --pages "$text" 1-20 -- "$work/text-20.pdf"
pdftoppm -r 300 -gray "$work/text-20.pdf" "$work/page"
img2pdf --imgsize 300dpi "$work"/page-*.pgm -o "$work/scan-20.pdf"
# 120 text pages, each with a letterhead logo: a small grey picture in the page's corner.
{ printf 'P5\n300 120\n255\n'; head -c 36000 /dev/zero | tr '\0' '\200'; } >"$work/logo.pgm"
img2pdf --imgsize 300dpi --pagesize 612x792 --fit shrink "$work/logo.pgm" -o "$work/logo.pdf"
qpdf --empty --pages "$text" 1-120 -- "$work/text-120.pdf"
qpdf "$work/text-120.pdf" --overlay "$work/logo.pdf" --repeat=1 -- "$work/logo-120.pdf"

cli_scans() { "$cli" --no-settings -q -o "$out" "$work/scan-20.pdf"; }
tesseract_loop() {
    local picture
    for picture in "$work"/page-*.pgm; do
        tesseract "$picture" "$out/${picture##*/}" --dpi 300 2>/dev/null
    done
}
tesseract_one_thread() { OMP_THREAD_LIMIT=1 tesseract_loop; }
ocrmypdf_sidecar() {
    ocrmypdf -q -j "$(nproc)" --sidecar "$out/scan-20.txt" "$@" "$work/scan-20.pdf" "$out/scan-20.pdf"
}
ocrmypdf_upright() { ocrmypdf_sidecar --rotate-pages --deskew; }
text_off() { "$convert" 0 "$out" "$text"; }
text_scans() { "$convert" 1 "$out" "$text"; }
logo_off() { "$cli" --no-settings -q --ocr no -o "$out" "$work/logo-120.pdf"; }
logo_scans() { "$cli" --no-settings -q --ocr auto -o "$out" "$work/logo-120.pdf"; }
logo_off_one() { "$convert" 0 "$out" "$work/logo-120.pdf"; }
logo_scans_one() { "$convert" 1 "$out" "$work/logo-120.pdf"; }

ms() { case "$1" in FAILED) echo FAILED ;; *) awk -v v="$1" 'BEGIN { printf "%.0f", v / 1000 }' ;; esac; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

echo "Measuring 20 scanned pages ($runs runs each, alternating) ..." >&2
measure "$runs" 0 wall:cli_scans wall:tesseract_loop wall:tesseract_one_thread wall:ocrmypdf_sidecar \
    wall:ocrmypdf_upright
scans="${median_of[wall:cli_scans]}"
ocrmypdf="${median_of[wall:ocrmypdf_sidecar]}"
ocrmypdf_upright="${median_of[wall:ocrmypdf_upright]}"
loop="${median_of[wall:tesseract_loop]}"
single="${median_of[wall:tesseract_one_thread]}"
echo "Measuring the 2000-page text ($((9 * runs)) runs each, alternating) ..." >&2
measure "$((9 * runs))" 1 wall:text_off wall:text_scans
off="${median_of[wall:text_off]}"
on="${median_of[wall:text_scans]}"
echo "Measuring 120 text pages with a logo ($((9 * runs)) runs each, alternating) ..." >&2
measure "$((9 * runs))" 1 wall:logo_off wall:logo_scans wall:logo_off_one wall:logo_scans_one
logo_off="${median_of[wall:logo_off]}"
logo_on="${median_of[wall:logo_scans]}"
logo_off_one="${median_of[wall:logo_off_one]}"
logo_on_one="${median_of[wall:logo_scans_one]}"

echo
printf '%-58s %10s\n' "what" "ms"
printf '%s\n' "$(printf '%.0s-' {1..69})"
printf '%-58s %10s\n' "folverin-cli, 20 scanned pages ($(nproc) workers)" "$(ms "$scans")"
printf '%-58s %10s\n' "tesseract, the same 20 pictures one after another" "$(ms "$loop")"
printf '%-58s %10s\n' "the same, OMP_THREAD_LIMIT=1" "$(ms "$single")"
printf '%-58s %10s\n' "ocrmypdf -j $(nproc) --sidecar, the same 20 pages" "$(ms "$ocrmypdf")"
printf '%-58s %10s\n' "the same, --rotate-pages --deskew" "$(ms "$ocrmypdf_upright")"
printf '%-58s %10s\n' "2000-page text, one process, recognition No" "$(ms "$off")"
printf '%-58s %10s\n' "2000-page text, one process, Pages Without Text" "$(ms "$on")"
printf '%-58s %10s\n' "120 text pages with a logo, folverin-cli --ocr no" "$(ms "$logo_off")"
printf '%-58s %10s\n' "120 text pages with a logo, folverin-cli --ocr auto" "$(ms "$logo_on")"
printf '%-58s %10s\n' "the same, one process, recognition No" "$(ms "$logo_off_one")"
printf '%-58s %10s\n' "the same, one process, Pages Without Text" "$(ms "$logo_on_one")"
echo
[[ $scans != FAILED && $loop != FAILED ]] && echo "scans: folverin-cli / tesseract loop = $(ratio "$scans" "$loop")"
[[ $scans != FAILED && $single != FAILED ]] &&
    echo "scans: folverin-cli / one-thread tesseract loop = $(ratio "$scans" "$single")"
[[ $scans != FAILED && $ocrmypdf != FAILED ]] &&
    echo "scans: folverin-cli / ocrmypdf --sidecar = $(ratio "$scans" "$ocrmypdf")"
[[ $scans != FAILED && $ocrmypdf_upright != FAILED ]] &&
    echo "scans: folverin-cli / ocrmypdf --sidecar --rotate-pages --deskew = $(ratio "$scans" "$ocrmypdf_upright")"
[[ $off != FAILED && $on != FAILED ]] && echo "text: Pages Without Text / No = $(ratio "$on" "$off")"
[[ $logo_off != FAILED && $logo_on != FAILED ]] &&
    echo "text with a logo: --ocr auto / --ocr no = $(ratio "$logo_on" "$logo_off")"
[[ $logo_off_one != FAILED && $logo_on_one != FAILED ]] &&
    echo "text with a logo, one process: Pages Without Text / No = $(ratio "$logo_on_one" "$logo_off_one")"
if cmp -s <("$cli" --no-settings -q --ocr no -o "$out/no" "$work/logo-120.pdf" && cat "$out/no/logo-120.txt") \
    <("$cli" --no-settings -q --ocr auto -o "$out/auto" "$work/logo-120.pdf" && cat "$out/auto/logo-120.txt"); then
    echo "text with a logo: both modes wrote the same text"
else
    echo "text with a logo: the modes wrote different texts"
fi
echo "Medians; $(uname -sr), $(nproc) usable cores."
