# shellcheck shell=bash
# Measuring shared by the comparison scripts; sourced, not run.
#
# The caller sets: work (a scratch folder), gnu_time and treepeak (programs, for rss and tree
# figures), and defines prepare_run, called before every run (to clear output folders).
# A compared command is a function that runs its program through "${wrap[@]}", so a memory
# figure measures the program itself and not a shell around it.
#
# Variables pass between this file and the caller both ways, which shellcheck cannot follow.
# shellcheck disable=SC2034,SC2154

wrap=()

# bench_options HELP_LINES ARGUMENT...: reads [-r RUNS] [--strict] BUILD_DIR into runs (default
# 11), strict (0 or 1) and build (made absolute); -h prints the calling script's comment lines
# HELP_LINES ("2,14"), a usage error exits with status 2.
bench_options() {
    local help="$1" name="${0##*/}"
    shift
    runs=11
    strict=0
    build=""
    while (($#)); do
        case "$1" in
        -r) runs="${2:?-r needs a number}"; shift 2 ;;
        --strict) strict=1; shift ;;
        -h | --help) sed -n "${help}p" "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        -*) echo "$name: unknown option $1" >&2; exit 2 ;;
        *) build="$1"; shift ;;
        esac
    done
    if [[ -z "$build" ]]; then
        echo "usage: $name [-r RUNS] [--strict] BUILD_DIR" >&2
        exit 2
    fi
    if ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then
        echo "$name: RUNS must be a positive number" >&2
        exit 2
    fi
    build="$(cd "$build" && pwd)"
}

# Wall time of one run in microseconds on stdout; a failing command fails the measurement, so
# a crash can never be reported as a fast run.
wall_us() {
    local start end
    start=$EPOCHREALTIME
    "$@" >/dev/null 2>"$work/stderr" || { echo "(exit status $?)" >>"$work/stderr"; return 1; }
    end=$EPOCHREALTIME
    echo $((${end/./} - ${start/./}))
}

# Peak resident memory of one run in kilobytes: "rss" is the largest single process (GNU time),
# "tree" the sum over the process and its descendants (treepeak).
peak_kb() {
    local kind="$1" fn="$2" status=0
    if [[ $kind == rss ]]; then
        wrap=("$gnu_time" -f %M -o "$work/rss")
    else
        wrap=("$treepeak" -o "$work/rss" --)
    fi
    "$fn" >/dev/null 2>"$work/stderr" || status=$?
    wrap=()
    if ((status != 0)); then
        echo "(exit status $status)" >>"$work/stderr"
        return 1
    fi
    tail -n 1 "$work/rss"
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) exit 1; print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# measure RUNS WARM SIDE...: a side is KIND:FUNCTION, KIND being wall, rss or tree. The sides
# run in turn (A B C A B C ...) so that drift in machine load hits all alike; WARM rounds come
# first and are not counted. Leaves each side's median in median_of[SIDE], or FAILED when a
# run failed; a side that failed is not run again, the others go on.
declare -A median_of=()
measure() {
    local runs="$1" warm="$2" i side kind fn value
    shift 2
    local -A values=() failed=()
    for ((i = 0; i < warm + runs; i++)); do
        for side in "$@"; do
            [[ -n "${failed[$side]:-}" ]] && continue
            kind="${side%%:*}"
            fn="${side#*:}"
            prepare_run
            if [[ $kind == wall ]]; then
                value=$(wall_us "$fn") || value=FAILED
            else
                value=$(peak_kb "$kind" "$fn") || value=FAILED
            fi
            if [[ $value == FAILED ]]; then
                echo "${0##*/}: $fn failed: $(tail -c 300 "$work/stderr")" >&2
                failed[$side]=1
                continue
            fi
            ((i < warm)) || values[$side]+="$value "
        done
    done
    for side in "$@"; do
        if [[ -n "${failed[$side]:-}" ]]; then
            median_of[$side]=FAILED
        else
            # shellcheck disable=SC2086 # one value per word
            median_of[$side]=$(printf '%s\n' ${values[$side]} | median)
        fi
    done
}
