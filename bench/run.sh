#!/usr/bin/env bash
# Throughput and memory of tessel against a plain copy of the same bytes.
#
# Usage: bench/run.sh [--strict] [BUILD_DIR]     (BUILD_DIR defaults to build)
#
# Generates 8 channels x 80000 records (about 670 MB, 21 minutes at 32 kHz)
# once under BUILD_DIR/bench and reuses them, warms the page cache, then
# takes the best of 5 wall-clock runs (BENCH_RUNS=N for more) of: cat of the
# inputs into one file, a combined conversion, the same with 100000 events
# as tags (--events; a dense session, 78 events a second), and separate
# conversions. The events' cost is fixed per event, so it is also shown as
# time per event. Peak memory is measured at two lengths to show it does not
# grow with the input. With --strict the exit status is 1 when a target
# (ratio <= 1.3 x copy, events < 5 % more than the combined conversion,
# peak < 16 MiB) is missed.
set -euo pipefail

strict=0
if [[ ${1:-} == --strict ]]; then strict=1; shift; fi
build=${1:-build}
channels=8
long_records=80000
short_records=20000
runs=${BENCH_RUNS:-5}
target_ratio=1.3
target_peak_mib=16
events=100000
target_events_percent=5

die() { echo "bench: $*" >&2; exit 2; }

find_tool() {
    local name=$1 candidate
    for candidate in "$build/$name" "$build/src/$name" "$build/tools/$name"; do
        [[ -x $candidate ]] && { echo "$candidate"; return; }
    done
    die "no $name under $build (build it first)"
}

[[ -d $build ]] || die "no build folder $build"
[[ -x /usr/bin/time ]] || die "/usr/bin/time is missing (apt-get install time)"
[[ -x /usr/bin/python3 ]] || die "/usr/bin/python3 is missing"
tessel=$(find_tool tessel)
ncsgen=$(find_tool ncsgen)
scratch=$build/bench

# Writes the inputs unless a previous run left a complete set.
dataset() {
    local records=$1
    local dir=$scratch/ncs-$channels-$records size=$((16384 + records * 1044)) c ok=1
    for ((c = 1; c <= channels; c++)); do
        [[ $(stat -c %s "$dir/CSC$c.ncs" 2>/dev/null || echo 0) == "$size" ]] || ok=0
    done
    if ((!ok)); then
        rm -rf "$dir"
        "$ncsgen" --channels $channels --records "$records" "$dir" >/dev/null
    fi
    rm -f "$dir"/*.abf "$dir"/*.tmp
    echo "$dir"
}

# An event file of $events TTL events spread evenly over the recording of
# $1 records that starts at ncsgen's first stamp.
eventfile() {
    local records=$1
    local file=$scratch/Events-$events-$records.nev
    [[ -f $file ]] || /usr/bin/python3 - "$file" "$records" "$events" <<'EOF'
import struct, sys
path, records, count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
first, span = 1_000_000_000, records * 16000
header = b'######## Neuralynx Data File Header\r\n-FileType Event\r\n-RecordSize 184\r\n'
with open(path, 'wb') as f:
    f.write(header.ljust(16384, b'\0'))
    for k in range(count):
        text = b'TTL Input on AcqSystem1_0 board 0 port 0 value (0x%04X).' % (k & 0xff)
        f.write(struct.pack('<hhhQhhhhh8i128s', 800, 102, 2, first + k * span // count, 19, k & 0xff, 0, 0, 0,
                            *[0] * 8, text))
EOF
    echo "$file"
}

now() { date +%s.%N; }

# Best wall-clock seconds of $runs runs of "$@"; cleanup runs before each one
# so that no run overwrites an earlier output.
best_of() {
    local cleanup=$1; shift
    local best='' i start end t
    for ((i = 0; i < runs; i++)); do
        eval "$cleanup"
        start=$(now)
        "$@" >/dev/null
        end=$(now)
        t=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')
        if [[ -z $best ]] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
    done
    eval "$cleanup"
    echo "$best"
}

# Peak resident memory of "$@" in MiB.
peak_mib() {
    local log
    log=$(mktemp)
    /usr/bin/time -f %M -o "$log" "$@" >/dev/null
    awk '{ printf "%.1f", $1 / 1024 }' "$log"
    rm -f "$log"
}

long=$(dataset $long_records)
short=$(dataset $short_records)
inputs=("$long"/CSC{1..8}.ncs)
nev=$(eventfile $long_records)
short_inputs=("$short"/CSC{1..8}.ncs)
bytes=$(cat "${inputs[@]}" | wc -c)   # also warms the page cache
cat "${short_inputs[@]}" >/dev/null

out=$scratch/out
copy=$scratch/copy.bin
mkdir -p "$out"
clean="rm -f '$copy' '$long'/*.abf '$out'/*.abf"

# shellcheck disable=SC2317  # run through best_of
copy_cmd() { cat "$@" >"$copy"; }
t_copy=$(best_of "$clean" copy_cmd "${inputs[@]}")
# The conversion with and without events in turns, so that both meet the
# machine in the same state: their difference is a few milliseconds.
t_comb='' t_events=''
for ((turn = 0; turn < runs; turn++)); do
    t_comb+=" $(runs=1 best_of "$clean" "$tessel" convert --combine --quiet "${inputs[@]}")"
    t_events+=" $(runs=1 best_of "$clean" "$tessel" convert --combine --quiet --events "$nev" "${inputs[@]}")"
done
least() { tr ' ' '\n' | sort -g | sed -n '/./{p;q}'; }
t_comb=$(least <<<"$t_comb") t_events=$(least <<<"$t_events")
t_sep=$(best_of "$clean" "$tessel" convert --quiet --output-dir "$out" "${inputs[@]}")

peak_comb=$(peak_mib "$tessel" convert --combine --quiet "${inputs[@]}"); eval "$clean"
peak_sep=$(peak_mib "$tessel" convert --quiet --output-dir "$out" "${inputs[@]}"); eval "$clean"
peak_events=$(peak_mib "$tessel" convert --combine --quiet --events "$nev" "${inputs[@]}"); eval "$clean"
peak_comb_short=$(peak_mib "$tessel" convert --combine --quiet "${short_inputs[@]}")
peak_sep_short=$(peak_mib "$tessel" convert --quiet --output-dir "$out" "${short_inputs[@]}")
rm -f "$short"/*.abf "$out"/*.abf "$copy"

missed=0
line() {  # label seconds [peak]
    awk -v label="$1" -v t="$2" -v ref="$t_copy" -v bytes="$bytes" -v peak="${3:-}" \
        -v rmax="$target_ratio" -v pmax="$target_peak_mib" '
        BEGIN {
            s = sprintf("%-9s %6.3f s  %5.0f MB/s", label ":", t, bytes / 1e6 / t)
            bad = 0
            if (label != "copy") {
                s = s sprintf("  ratio %.2f x copy", t / ref)
                if (t / ref > rmax) { s = s " (target <= " rmax ")"; bad = 1 }
            }
            if (peak != "") {
                s = s sprintf("  peak %s MiB", peak)
                if (peak + 0 >= pmax) { s = s " (target < " pmax ")"; bad = 1 }
            }
            print s
            exit bad
        }' || missed=1
}

printf 'input:    %d files, %d records each, %.0f MB\n' $channels $long_records \
    "$(awk -v b="$bytes" 'BEGIN { print b / 1e6 }')"
line copy "$t_copy"
line combined "$t_comb" "$peak_comb"
line separate "$t_sep" "$peak_sep"
if ! awk -v t="$t_events" -v c="$t_comb" -v n="$events" -v max="$target_events_percent" -v peak="$peak_events" \
        -v pmax="$target_peak_mib" '
    BEGIN {
        s = sprintf("events:   %6.3f s  %d tags, %+.1f ms (%.0f ns an event), %+.1f %% of the combined conversion",
                    t, n, 1000 * (t - c), 1e9 * (t - c) / n, 100 * (t - c) / c)
        bad = 100 * (t - c) / c >= max
        s = s (bad ? " (target < " max " %)" : "") sprintf("  peak %s MiB", peak)
        if (peak + 0 >= pmax) { s = s " (target < " pmax ")"; bad = 1 }
        print s
        exit bad
    }'; then
    missed=1
fi
echo "peak memory by length (8 channels):"
printf '  %-9s %6d records  %6s MiB\n' \
    combined $short_records "$peak_comb_short" combined $long_records "$peak_comb" \
    separate $short_records "$peak_sep_short" separate $long_records "$peak_sep"
growth=$(awk -v a="$peak_comb_short" -v b="$peak_comb" -v c="$peak_sep_short" -v d="$peak_sep" \
    'BEGIN { g = b - a; if (d - c > g) g = d - c; printf "%.1f", g }')
echo "  growth from $short_records to $long_records records: $growth MiB"
if awk -v g="$growth" 'BEGIN { exit !(g > 1.0) }'; then
    echo "  memory grows with the input length"
    missed=1
fi

if ((missed)); then
    echo "targets: missed"
    ((strict)) && exit 1
else
    echo "targets: met"
fi
exit 0
