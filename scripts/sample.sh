#!/bin/bash
# The main job: builds tessel, generates a sample recording of four channels
# and converts it, then shows what tessel printed and what the ABF file holds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh build >/dev/null
cmake -S . -B build -G Ninja -DTESSEL_TESTS=OFF >/dev/null
cmake --build build --target tessel ncsgen >/dev/null

rm -rf sample && mkdir -p sample
build/tools/ncsgen --channels 4 --records 250 sample
echo
echo "\$ tessel convert --combine sample/CSC1.ncs sample/CSC2.ncs sample/CSC3.ncs sample/CSC4.ncs"
build/src/tessel convert --combine sample/CSC1.ncs sample/CSC2.ncs sample/CSC3.ncs sample/CSC4.ncs
echo
echo "\$ tessel info sample/CSC1.abf"
build/src/tessel info sample/CSC1.abf
