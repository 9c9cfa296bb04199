#!/bin/sh
# The layering check must name, by file and line, an include that runs back
# up and a Win32 header in portable code: plants both in a scratch tree.
set -u
check=$1 work=$2
rm -rf "$work" && mkdir -p "$work/src/params" "$work/src/shell" || exit 1
printf '%s\n' '#include "params/paramtable.h"' '#include "shell/batch.h"' '#include <windows.h>' >"$work/src/params/planted.cpp"
out=$("$check" "$work") && { echo "the check passed a tree with planted includes"; exit 1; }
echo "$out"
[ "$(echo "$out" | grep -c '^src/')" -eq 2 ] && echo "$out" | grep -q '^src/params/planted.cpp:2: #include "shell/batch.h"' &&
    echo "$out" | grep -q '^src/params/planted.cpp:3: #include <windows.h>'
