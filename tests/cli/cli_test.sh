#!/bin/bash
# End-to-end runs of the tessel command: texts, exit status, files made.
# Usage: cli_test.sh TESSEL NCSGEN WORKDIR
set -u
tessel=$1 ncsgen=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
passed=0 failed=0

check() {  # check NAME EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
    fi
}
run() {  # run ARGS...: sets out, err, rc
    "$tessel" "$@" >out.txt 2>err.txt
    rc=$?
    # Windows consoles end lines with CRLF.
    out=$(tr -d '\r' <out.txt) err=$(tr -d '\r' <err.txt)
}

"$ncsgen" --channels 3 --records 40 rec >/dev/null || exit 1

run convert rec/CSC1.ncs rec/CSC2.ncs
check "separate: status" 0 "$rc"
check "separate: messages" $'Output file is rec/CSC1.abf.\n 40 records selected.\nOutput file is rec/CSC2.abf.\n 40 records selected.' "$out"
check "separate: quiet stderr" "" "$err"
check "separate: outputs" "rec/CSC1.abf rec/CSC2.abf" "$(echo rec/*.abf)"
rm -f rec/*.abf

run convert --combine rec/CSC1.ncs rec/CSC2.ncs rec/CSC3.ncs
check "combined: status" 0 "$rc"
check "combined: one output" "rec/CSC1.abf" "$(echo rec/*.abf)"
check "combined: message" $'Output file is rec/CSC1.abf.\n 40 records selected.' "$out"
run info rec/CSC1.abf
check "info abf: channels" "  Channels          3" "$(grep Channels <<<"$out")"
check "info abf: names" "0 EEG Ch 0 mV|1 EEG Ch 1 mV|2 EEG Ch 2 mV" \
    "$(grep 'EEG Ch' <<<"$out" | tr -s ' ' | sed 's/^ //' | paste -sd'|')"
check "info abf: episodes" "  Episodes          40" "$(grep Episodes <<<"$out")"
run info rec/CSC2.ncs
check "info ncs: records" "  Records            40 of 512 samples" "$(grep Records <<<"$out")"
check "info ncs: channel" "  ADChannel          1" "$(grep ADChannel <<<"$out")"
rm -f rec/*.abf

mkdir -p out
run convert --quiet --output-dir out rec/CSC1.ncs missing.ncs rec/CSC3.ncs
check "failure: status" 1 "$rc"
check "failure: nothing on stdout when quiet" "" "$out"
check "failure: texts" $'File Error: Couldn\'t open missing.ncs\nError: Error in Processing Data' "$err"
check "failure: the others convert" "out/CSC1.abf out/CSC3.abf" "$(echo out/*.abf)"
check "failure: inputs untouched" "" "$(ls rec | grep -v '\.ncs$')"

files=(); for i in $(seq 17); do files+=(rec/CSC1.ncs); done
run convert --combine "${files[@]}"
check "17 combined: usage" 2 "$rc"
check "17 combined: nothing made" "" "$(ls rec | grep abf)"
mkdir -p other && cp rec/CSC1.ncs other/
run convert --output-dir out rec/CSC1.ncs other/CSC1.ncs
check "same output twice: usage" "2|tessel: rec/CSC1.ncs and other/CSC1.ncs would both write out/CSC1.abf" \
    "$rc|$(head -1 <<<"$err")"
for args in "" "convert" "frobnicate" "convert --bogus rec/CSC1.ncs" "convert --output-dir" \
            "convert --output-dir nowhere rec/CSC1.ncs" "info"; do
    run $args
    check "usage error: '$args'" 2 "$rc"
done
run --help
check "help" 0 "$rc"
check "help names convert" 1 "$(grep -c 'tessel convert' <<<"$out")"
run --version
check "version" "tessel" "${out%% *}"

# The rest needs a POSIX process: Wine's console is no terminal of ours and
# its server does the writing.
[ -n "${TESSEL_UNDER_WINE:-}" ] && { echo "$passed passed, $failed failed"; [ "$failed" -eq 0 ]; exit; }

# A write that fails (here: the file size limit) is reported, and an older
# output survives.
echo older >rec/CSC1.abf
(trap '' XFSZ; ulimit -f 64; exec "$tessel" convert --combine rec/CSC1.ncs rec/CSC2.ncs rec/CSC3.ncs) \
    >out.txt 2>err.txt
check "full disk: status" 1 "$?"
check "full disk: texts" $'File Error: Couldn\'t write rec/CSC1.abf\nError: Error in Processing Data' "$(cat err.txt)"
check "full disk: older output kept" older "$(cat rec/CSC1.abf)"
check "full disk: nothing left behind" "rec/CSC1.abf" "$(echo rec/*.abf*)"
rm -f rec/CSC1.abf

# On a terminal the run's two lines and a bar are drawn, at most 101 times a file.
if command -v script >/dev/null; then
    "$ncsgen" --channels 1 --records 300 long >/dev/null
    script -qec "'$tessel' convert long/CSC1.ncs" /dev/null </dev/null >tty.txt 2>&1
    check "terminal: first line" yes "$(grep -q 'Exporting long/CSC1.ncs to ABF.' tty.txt && echo yes)"
    check "terminal: completion" 1 "$(grep -c 'Window #300 of 300 at .* seconds.*100 %' tty.txt)"
    draws=$(grep -o 'Window #' tty.txt | wc -l)
    check "terminal: redraws at most 101" 1 "$((draws > 0 && draws <= 101))"
    script -qec "'$tessel' convert --quiet long/CSC1.ncs" /dev/null </dev/null >tty.txt 2>&1
    check "terminal: quiet draws nothing" "" "$(tr -d '\r\n' <tty.txt)"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
