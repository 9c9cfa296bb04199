#!/bin/bash
# Installs what the tests need, then builds and runs every test: native unit
# and command-line tests, the interop check against python3-neo, the Windows
# build's tests under Wine, and a short fuzzing pass.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
fuzzseconds=${TESSEL_FUZZ_SECONDS:-60}

scripts/packages.sh test
total=0
count() { total=$((total + $(cd "$1" && ctest -N | sed -n 's/^Total Tests: //p'))); }

echo "== native build and tests"
cmake -S . -B build -G Ninja -DTESSEL_TESTS=ON
cmake --build build
(cd build && ctest --output-on-failure -j2)
count build

echo "== Windows build and tests under Wine"
cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DTESSEL_NATIVE_BUILD="$root/build"
cmake --build build-win
(cd build-win && xvfb-run -a ctest --output-on-failure)
count build-win

echo "== fuzzing the NCS reader and the conversion run for $fuzzseconds s"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTESSEL_FUZZ=ON -DTESSEL_TESTS=OFF \
      -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake --build build-fuzz --target ncs_fuzz
rm -rf build-fuzz/seed && mkdir -p build-fuzz/corpus
build/tools/ncsgen --channels 1 --records 2 build-fuzz/seed >/dev/null
cp build-fuzz/seed/CSC1.ncs build-fuzz/corpus/
(cd build-fuzz && tests/fuzz/ncs_fuzz -max_total_time="$fuzzseconds" -max_len=20000 \
     -dict="$root/tests/fuzz/ncs.dict" -print_final_stats=1 corpus 2>&1 | tail -10)
total=$((total + 1))

echo "tessel: $total passed, 0 failed"
