#!/bin/bash
# The Windows build writes the same bytes as the native one.
# Usage: samebytes_test.sh NATIVE_TESSEL WINDOWS_TESSEL NCSGEN WORKDIR
set -eu
native=$1 windows=$2 ncsgen=$3 work=$4
rm -rf "$work" && mkdir -p "$work"/native "$work"/windows && cd "$work"
"$ncsgen" --channels 3 --records 300 --frequency 30303.03 --events 7 rec >/dev/null
"$native" convert --quiet --combine --output-dir native rec/CSC1.ncs rec/CSC2.ncs rec/CSC3.ncs
mv native/CSC1.abf native/combined.abf
"$native" convert --quiet --output-dir native rec/CSC1.ncs rec/CSC2.ncs rec/CSC3.ncs
"$windows" convert --quiet --combine --output-dir windows rec/CSC1.ncs rec/CSC2.ncs rec/CSC3.ncs
mv windows/CSC1.abf windows/combined.abf
"$windows" convert --quiet --output-dir windows rec/CSC1.ncs rec/CSC2.ncs rec/CSC3.ncs
# Tags, names and a range: the same arithmetic on both (the notice of events left out aside).
mkdir native/events windows/events
"$native" convert --quiet --combine --names --events --from 0.5 --to 5 --output-dir native/events rec 2>/dev/null
"$windows" convert --quiet --combine --names --events --from 0.5 --to 5 --output-dir windows/events rec 2>/dev/null
passed=0 failed=0
for f in combined.abf CSC1.abf CSC2.abf CSC3.abf events/CSC1.abf; do
    if cmp native/$f windows/$f; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
