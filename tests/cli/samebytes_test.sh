#!/bin/bash
# The Windows build writes the same bytes as the native one.
# Usage: samebytes_test.sh NATIVE_TESSEL WINDOWS_TESSEL NCSGEN WORKDIR
set -eu
native=$1 windows=$2 ncsgen=$3 work=$4
rm -rf "$work" && mkdir -p "$work"/native/events "$work"/windows/events && cd "$work"
"$ncsgen" --channels 3 --records 300 --frequency 30303.03 --events 7 rec >/dev/null
for side in native windows; do
    "${!side}" convert --quiet --combine --output-dir $side rec/CSC1.ncs rec/CSC2.ncs rec/CSC3.ncs
    mv $side/CSC1.abf $side/combined.abf
    "${!side}" convert --quiet --output-dir $side rec/CSC1.ncs rec/CSC2.ncs rec/CSC3.ncs
    # Tags, names and a range: the same arithmetic on both (the notice of events left out aside).
    "${!side}" convert --quiet --combine --names --events --from 0.5 --to 5 --output-dir $side/events rec 2>/dev/null
done
passed=0 failed=0
for f in combined.abf CSC1.abf CSC2.abf CSC3.abf events/CSC1.abf; do
    if cmp native/$f windows/$f; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
