#!/usr/bin/env bash
# One real crossing of the ABF 1.x sample limit, outside CI: 16 channels of
# 262144 records of 512 samples are 2^31 samples, one more than a file can
# hold. tessel must refuse it without --split and, with it, write two parts
# (262143 records and 1) that hold every record once.
#
# Usage: bench/long.sh [BUILD_DIR]     (BUILD_DIR defaults to build)
# Needs about 4.6 GB of free disk under BUILD_DIR/long and /usr/bin/python3
# with numpy; prints the time of each step.
set -euo pipefail

build=${1:-build}
records=262144
channels=16
tessel=$build/src/tessel
ncsgen=$build/tools/ncsgen
dir=$build/long
[[ -x $tessel && -x $ncsgen ]] || { echo "long: build tessel and ncsgen first" >&2; exit 2; }

rm -rf "$dir"
mkdir -p "$dir"
trap 'rm -rf "$dir"' EXIT
now() { date +%s.%N; }
took() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f s", b - a }'; }

t=$(now)
"$ncsgen" --channels 1 --records $records "$dir" >/dev/null
echo "input:    $records records, $(stat -c %s "$dir/CSC1.ncs") bytes, made in $(took "$t")"
# The same file as every channel: only the length matters here.
inputs=()
for ((c = 0; c < channels; c++)); do inputs+=("$dir/CSC1.ncs"); done

t=$(now)
if "$tessel" convert --quiet --combine "${inputs[@]}" 2>"$dir/err.txt"; then
    echo "long: converted without --split" >&2; exit 1
fi
grep -q -- --split "$dir/err.txt" || { echo "long: the refusal does not name --split" >&2; exit 1; }
echo "refused:  without --split in $(took "$t")"

t=$(now)
"$tessel" convert --combine --split "${inputs[@]}" | paste -sd' '
echo "split:    in $(took "$t"), $(stat -c %s "$dir/CSC1_part1.abf") + $(stat -c %s "$dir/CSC1_part2.abf") bytes"

t=$(now)
/usr/bin/python3 - "$dir" $records $channels <<'PY'
import sys
import numpy as np
folder, records, channels = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
ncs = np.memmap(folder + '/CSC1.ncs', dtype='<i2', mode='r', offset=16384).reshape(records, 522)[:, 10:]
first = 0
for k in (1, 2):
    path = '%s/CSC1_part%d.abf' % (folder, k)
    head = np.fromfile(path, dtype=np.uint8, count=6144)
    i32 = lambda off: int(head[off:off + 4].view('<i4')[0])
    acq, episodes, synchptr = i32(10), i32(16), i32(92)
    assert 0 < acq <= 2**31 - 1 and acq == episodes * 512 * channels, (path, acq, episodes)
    data = np.memmap(path, dtype='<i2', mode='r', offset=6144, shape=(episodes * 512, channels))
    want = ncs[first:first + episodes].reshape(-1)
    for c in (0, channels - 1):
        assert np.array_equal(data[:, c], want), (path, c)
    synch = np.fromfile(path, dtype='<i4', offset=synchptr * 512, count=2 * episodes).reshape(-1, 2)
    assert synch[0, 0] == 0 and (synch[:, 1] == 512 * channels).all(), path
    print('part %d: %d records, %d samples' % (k, episodes, acq))
    first += episodes
assert first == records, first
PY
echo "checked:  every record once, in $(took "$t")"
