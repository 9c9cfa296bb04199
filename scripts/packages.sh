#!/bin/bash
# Installs the Debian packages the project needs.
# Usage: packages.sh build   the native build (the sample run)
#        packages.sh test    everything the tests need: the Windows cross
#                            compiler, Wine with its fonts (the window tests
#                            measure text), Xvfb, clang for fuzzing, python3-neo,
#                            the locale sources (a code-page locale for a test)
#        packages.sh win64   the 64-bit cross compiler and Wine, for machines
#                            whose kernel starts no 32-bit programs
set -euo pipefail
build=(cmake g++ ninja-build)
test=("${build[@]}" googletest libgtest-dev g++-mingw-w64-i686 wine wine32:i386 fonts-wine fonts-liberation xvfb xauth
      python3-neo python3-numpy clang libclang-rt-14-dev time bsdutils dpkg-dev file unzip locales)
win64=(g++-mingw-w64-x86-64 wine64)
docs=(imagemagick)

case ${1:-} in
build) wanted=("${build[@]}") ;;
test) wanted=("${test[@]}") ;;
win64) wanted=("${win64[@]}") ;;
docs) wanted=("${docs[@]}") ;;
*) echo "usage: $0 build|test|win64|docs" >&2; exit 2 ;;
esac

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
# 32-bit Windows programs need the i386 half of Wine.
if [ "$1" = test ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ "$1" = test ] || [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
