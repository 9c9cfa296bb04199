#!/bin/bash
# End-to-end runs of the tessel command: texts, exit status, files made.
# Usage: cli_test.sh TESSEL NCSGEN WORKDIR [MANPAGE]
set -u
tessel=$1 ncsgen=$2 work=$3 manpage=${4:-}
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
gen() { "$ncsgen" "$@" >/dev/null || exit 1; }
lines() { grep -E "$1" <<<"$out" | paste -sd'|'; }  # the lines of out that match, joined by |
info() { "$tessel" info "$1" | tr -d '\r'; }       # leaves rc, out and err as they are
field() { info "$2" | awk -v name="$1" '$1 == name { print $2 }'; }
eeg() { grep -o 'EEG Ch [0-9]*' | cut -d' ' -f3 | paste -sd' '; }  # the channel numbers of info's lines
json() {  # json NAME EXPECTED ARGS: print(ARGS) for each file f of info --json's array, given a python3
    [ -x /usr/bin/python3 ] || return 0
    check "$1" "$2" "$(/usr/bin/python3 -c "import json, sys; [print($3) for f in json.load(sys.stdin)]" <<<"$out" | paste -sd'|')"
}

gen --channels 3 --records 40 rec
run convert rec/CSC1.ncs rec/CSC2.ncs
check "separate: status, messages, quiet stderr, outputs" $'0|Output file is rec/CSC1.abf.\n 40 records selected.\nOutput file is rec/CSC2.abf.\n 40 records selected.||rec/CSC1.abf rec/CSC2.abf' \
    "$rc|$out|$err|$(echo rec/*.abf)"
rm -f rec/*.abf
run convert --combine rec/CSC1.ncs rec/CSC2.ncs rec/CSC3.ncs
check "combined: status, one output, message" $'0|rec/CSC1.abf|Output file is rec/CSC1.abf.\n 40 records selected.' "$rc|$(echo rec/*.abf)|$out"
run info rec/CSC1.abf
check "info abf: channels, episodes, names" "  Channels          3|  Episodes          40|0 EEG Ch 0 mV|1 EEG Ch 1 mV|2 EEG Ch 2 mV" \
    "$(lines 'Channels|Episodes')|$(grep 'EEG Ch' <<<"$out" | tr -s ' ' | sed 's/^ //' | cut -d' ' -f1-5 | paste -sd'|')"
run info rec/CSC2.ncs
check "info ncs: channel, records" "  ADChannel          1|  Records            40 of 512 samples" "$(lines 'ADChannel|Records')"
rm -f rec/*.abf

mkdir -p out other empty && cp rec/CSC1.ncs other/
run convert --quiet --output-dir out rec/CSC1.ncs missing.ncs rec/CSC3.ncs
check "failure: status, nothing on stdout when quiet, texts, the others convert, inputs untouched" $'1||File Error: Couldn\'t open missing.ncs\nError: Error in Processing Data|out/CSC1.abf out/CSC3.abf|' \
    "$rc|$out|$err|$(echo out/*.abf)|$(ls rec | grep -v '\.ncs$')"

run convert --combine $(yes rec/CSC1.ncs | head -17)
check "17 combined: usage, nothing made" "2|" "$rc|$(ls rec | grep abf)"
for args in "" "convert" "frobnicate" "convert --bogus rec/CSC1.ncs" "convert --output-dir" "convert --output-dir nowhere rec/CSC1.ncs" "info"; do
    run $args
    check "usage error: '$args'" 2 "$rc"
done
run --help
check "help: status, names convert" "0|1" "$rc|$(grep -c 'Usage: tessel convert' <<<"$out")"
for option in --combine --volts --start-time --split --names --from --to --events --output-dir --quiet --json; do
    check "help: $option and an example" "yes yes" "$(grep -q -e "^  $option " <<<"$out" && echo yes) $(grep -q -e "^ *tessel [a-z]* .*$option" <<<"$out" && echo yes)"
done
# The manual page documents every command and option that --help names.
if [ -n "$manpage" ]; then
    page=$(sed 's/\\-/-/g' "$manpage")
    for item in convert info $(grep -oE -- '--[a-z][a-z-]*' <<<"$out" | sort -u); do
        check "manual page: $item" yes "$(grep -qE -- "^\.[A-Z]+ .*$item( |\$)" <<<"$page" && echo yes)"
    done
fi
run --version
check "version" "tessel" "${out%% *}"

# Folders: their .ncs files in natural order, any case; named files keep their order.
gen --channels 12 --records 4 nat
mv nat/CSC2.ncs nat/csc2.NCS && echo notes >nat/notes.txt
run convert --combine --quiet nat
check "folder: status, natural order" "0|$(seq -s' ' 0 11)" "$rc|$(info nat/CSC1.abf | eeg)"
run info nat
check "info folder: its .ncs files in order" "nat/CSC1.ncs nat/csc2.NCS nat/CSC3.ncs nat/CSC4.ncs" "$(grep -o '^nat/[^:]*' <<<"$out" | head -4 | paste -sd' ')"
run convert --combine --quiet nat/CSC3.ncs nat/CSC1.ncs
check "named files: order kept" "2 0" "$(info nat/CSC3.abf | eeg)"
# Files that are no recording: a message each, status 1, null in the JSON array.
mkdir -p junk && : >junk/empty.ncs && echo hello >junk/short.ncs && head -c 20000 /dev/zero >junk/zeros.abf
neither=" is neither an NCS recording nor an ABF file"
run info --json junk/empty.ncs junk/short.ncs junk/zeros.abf nat/CSC1.abf
check "not a recording: status, messages" "1|File Error: junk/empty.ncs$neither|File Error: junk/short.ncs$neither|File Error: junk/zeros.abf$neither" "$rc|$(paste -sd'|' <<<"$err")"
json "not a recording: null in the array" "None|None|None|ABF" 'f and f["format"]'
run info junk/empty.ncs
check "not a recording: nothing on stdout" "1|" "$rc|$out"

# Holes: 1 s missing at record 10, 3 s back at record 20, record 5 short.
gen --channels 2 --records 40 --gap 10:1000000 --gap 20:-3000000 --short 5:100 holes
gen --channels 1 --records 40 --first-channel 5 whole
run info holes/CSC1.ncs whole/CSC1.ncs
check "gaps: info, then none" "  Discontinuities    2 (largest 3 s)|  Holes              1 (1 s missing, the largest 1 s)|  Backwards          1 (3 s back in all)|  Short records      1 (fewer than 512 valid samples)|  Discontinuities    0|  Holes              0|  Backwards          0|  Short records      0 (fewer than 512 valid samples)" \
    "$(lines 'Discontinuities|Holes|Backwards|Short records')"
run info --json holes whole/CSC1.ncs
check "json: status" 0 "$rc"
json "json: every value" "holes/CSC1.ncs 2 3000000 1 1000000 1000000 1 3000000 1|holes/CSC2.ncs 2 3000000 1 1000000 1000000 1 3000000 1|whole/CSC1.ncs 0 0 0 0 0 0 0 0" \
    'f["file"], *(int(f[k]) for k in ("discontinuities", "largest_discontinuity_us", "holes", "missing_us", "largest_hole_us", "backwards", "stepped_back_us", "short_records"))'
run convert --combine --quiet holes/CSC1.ncs whole/CSC1.ncs holes/CSC2.ncs
check "gaps: converted, one warning per input with holes" "0|2" "$rc|$(grep -c '^Warning: holes/CSC[12].ncs: time-stamp holes' <<<"$err")"

# Each shape of the stamps, alone: what was found and what the output holds.
while IFS='|' read -r name options warning; do
    rm -rf shape && gen --channels 1 --records 20 $options shape
    run convert --quiet shape/CSC1.ncs
    check "warning: $name" "0|$warning" "$rc|$err"
done <<'EOF'
continuous|--seed 1|
a hole|--gap 10:1000000|Warning: shape/CSC1.ncs: time-stamp holes: 1, 1 s missing, the largest 1 s (the synch array keeps each record's start)
one stamp out of order|--gap 5:-1080000 --gap 6:1080000|Warning: shape/CSC1.ncs: stamps going backwards: 1 (the synch array keeps each record's start as stamped)
clock stepped back|--gap 10:-3000000|Warning: shape/CSC1.ncs: stamps going backwards: 1, 3 s back in all (the synch array keeps each record's start as stamped)
short records alone|--short 3:100 --short 4:0|Warning: shape/CSC1.ncs: records with fewer than 512 valid samples: 2 (their invalid samples are copied as data)
all three|--gap 3:500000 --gap 8:-2000000 --short 12:7|Warning: shape/CSC1.ncs: time-stamp holes: 1, 0.5 s missing, the largest 0.5 s (the synch array keeps each record's start); stamps going backwards: 1, 2 s back in all (the synch array keeps each record's start as stamped); records with fewer than 512 valid samples: 1 (their invalid samples are copied as data)
EOF

# Event files: a folder's after its recordings; first, last and distinct values,
# the first events in file order.
gen --channels 1 --records 40 --gap 10:1000000 --events 16 --event=-5000000:7 ev
run info ev
check "events: after the recordings; summary; the first, before the recording" "ev/CSC1.ncs ev/Events.nev|  Events             7|  Time stamps        995000000 ... 1001641000 us (6.641 s from first to last)|  TTL values         0 1 2 7|    995000000 us  id 19  TTL 7  TTL Input on AcqSystem1_0 board 0 port 0 value (0x0007).|    999999000 us  id 11  TTL 0  Starting Recording" \
    "$(grep -o '^ev/[^:]*' <<<"$out" | paste -sd' ')|$(sed -n '/NEV events/,$p' <<<"$out" | grep -E '^  (Events|Time stamps|TTL values) ' | paste -sd'|')|$(grep -A2 'First events' <<<"$out" | tail -2 | paste -sd'|')"
mkdir -p badev && head -c 1000 ev/Events.nev >badev/short.nev && cp ev/CSC1.ncs badev/csc.nev
head -c 16384 ev/Events.nev >badev/none.nev && head -c -10 ev/Events.nev >badev/cut.nev
run info --json badev/short.nev badev/csc.nev badev/none.nev badev/cut.nev
check "bad events: status, messages" "1|File Error: badev/short.nev is too short for an event file: 1000 bytes, less than its 16384-byte header|File Error: badev/csc.nev is not an event file: its header gives FileType CSC" \
    "$rc|$(paste -sd'|' <<<"$err")"
json "bad events: null, then the events and partial bytes" "None|None|0 0 None|6 174 [0, 1, 2, 7]" \
    'f and " ".join(str(f[k]) for k in ("events", "partial_record_bytes", "ttl_values" if f["events"] else "first_timestamp_us"))'
check "cut events: the partial record told" "  Events             6, then 174 bytes of a partial record (left out)" "$(info badev/cut.nev | grep Events)"

# Tags of an ABF file, appended here by hand: seconds count sample intervals of all channels.
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
while read -r channels first second; do
    "$tessel" convert --quiet --combine $(yes ev/CSC1.ncs | head -$channels) 2>/dev/null
    block=$(($(wc -c <ev/CSC1.abf) / 512))
    { printf "$(le32 16000)%-56s\x01\x00\x00\x00" "Stim on"; printf "$(le32 -32)%-56s\x01\x00\x00\x00" ""; head -c 384 /dev/zero; } >>ev/CSC1.abf
    printf "$(le32 $block)$(le32 2)" | dd of=ev/CSC1.abf bs=1 seek=44 conv=notrunc 2>/dev/null
    check "tags on $channels channels" "  Tags              2 (at block $block)|    $first s  lTagTime 16000  Stim on|    $second s  lTagTime -32  " \
        "$(info ev/CSC1.abf | grep -A2 '^  Tags' | paste -sd'|')"
done <<'EOF'
1 0.5 -0.001
2 0.25 -0.0005
EOF
# A tag section the header places wrongly is told, not read.
while read -r block count expected; do
    printf "$(le32 $block)$(le32 $count)" | dd of=ev/CSC1.abf bs=1 seek=44 conv=notrunc 2>/dev/null
    check "tags misplaced: $expected" "  Tags              $count ($expected)" "$(info ev/CSC1.abf | grep '^  Tags')"
done <<'EOF'
0 2 at block 0: not after the header
-1 2 at block -1: not after the header
99999 2 at block 99999: past the end of the file
4 -3 a negative count
EOF

# Options that read more of the header.
gen --channels 1 --records 4 --bit-volts none --time-form none bare
run convert --volts bare/CSC1.ncs
check "volts without ADBitVolts: refused, nothing made" $'1|File Error: bare/CSC1.ncs gives no usable ADBitVolts\nError: Error in Processing Data|' "$rc|$err|$(ls bare | grep abf)"
run convert --start-time bare/CSC1.ncs
check "no opening time: converted with a warning, start left 0" "0|Warning: bare/CSC1.ncs gives no opening time: the start date and time are left 0|  Start             (not recorded)" \
    "$rc|$err|$(info bare/CSC1.abf | grep Start)"
run convert --volts --start-time whole/CSC1.ncs
run info whole/CSC1.abf
check "volts: units; start time" "uV|  Start             2023-05-17 10:15:42.000" "$(awk '/EEG Ch 5/ { print $5 }' <<<"$out")|$(grep Start <<<"$out")"

# A stamp 70000 s on at 32 kHz lies beyond the 2^31 sample intervals one file can count.
gen --channels 1 --records 6 --gap 4:70000000000 long
run convert long/CSC1.ncs
check "too long: refused, --split named" "1|tessel: --split writes a recording this long as long/CSC1_part1.abf, long/CSC1_part2.abf, ..." "$rc|$(tail -1 <<<"$err")"
run convert --split long/CSC1.ncs
check "split: status, parts" $'0|Output file is long/CSC1_part1.abf.\n 4 records selected.\nOutput file is long/CSC1_part2.abf.\n 2 records selected.' "$rc|$out"
check "split: a complete file" "  Episodes          2|  Synch entries     2 (at block 16)" "$(info long/CSC1_part2.abf | grep -E 'Episodes|Synch' | paste -sd'|')"

# Sessions: a folder's restart files join their channel; with --combine each
# of several folders is one session, one file.
gen --channels 2 --records 30 s1 && gen --channels 2 --records 20 --start-time 1010000000 s2
mkdir -p sess && cp s1/*.ncs sess/ && cp s2/CSC1.ncs sess/CSC1_0001.ncs && cp s2/CSC2.ncs sess/CSC2_0001.ncs && cp -r sess sess2
run convert --combine --quiet sess sess2
check "sessions: one file each, restarts named" "0|50 50|2" "$rc|$(field Episodes sess/CSC1.abf) $(field Episodes sess2/CSC1.abf)|$(grep -c '^Warning: sess/CSC[12].ncs: acquisition restarts: 1, 9.52 s paused in all' <<<"$err")"
run convert --quiet sess
check "restarts, separately: one file a channel" "0|sess/CSC1.abf sess/CSC2.abf|50" "$rc|$(echo sess/*.abf)|$(field Episodes sess/CSC2.abf)"
run convert --combine --quiet sess/CSC1.ncs sess/CSC1_0001.ncs
check "files named one by one: channels as given" "0|  Channels          2" "$rc|$(info sess/CSC1.abf | grep Channels)"
rm sess2/CSC2_0001.ncs
run convert --combine --quiet --names --from 0.1 --to 0.2 rec
check "names and a range: 7 records from 96 ms" "0|7|CSC1 CSC2 CSC3" "$rc|$(field Episodes rec/CSC1.abf)|$(info rec/CSC1.abf | grep -oE '^ +[0-9]+ +CSC[0-9]' | awk '{ print $2 }' | paste -sd' ')"
rm -f rec/*.abf

# Events: a folder's Events.nev (any case), or a file named after --events.
gen --channels 2 --records 40 --events 10 ev
mv ev/Events.nev ev/EVENTS.NEV && cp -r ev ev2 && head -c 16000 ev/EVENTS.NEV >ev2/EVENTS.NEV
run convert --combine --quiet --events ev ev2
check "events: tags from the folder's file, a broken one fails its session" \
    "1|4|File Error: ev2/EVENTS.NEV is too short for an event file: 16000 bytes, less than its 16384-byte header" \
    "$rc|$(field Tags ev/CSC1.abf)|$(grep 'File Error' <<<"$err")"
# What each command says first, and its status.
while IFS='|' read -r args status message; do
    run $args
    check "options: $args" "$status|$message" "$rc|$(head -1 <<<"$err")"
done <<'EOF'
convert --output-dir out rec/CSC1.ncs other/CSC1.ncs|2|tessel: rec/CSC1.ncs and other/CSC1.ncs would both write out/CSC1.abf
convert empty|2|tessel: the folder empty holds no .ncs files
convert --combine --quiet sess2|1|File Error: sess2/CSC1.ncs continues in 2 files after restarts, sess2/CSC2.ncs in 1: the channels cannot be lined up
convert --combine sess sess2 rec/CSC1.ncs|2|tessel: --combine takes either folders, one file each, or files, one file of all
convert --combine --output-dir out sess sess2|2|tessel: sess/CSC1.ncs and sess2/CSC1.ncs would both write out/CSC1.abf
convert --from|2|tessel: --from needs a time
convert --from 1e3 rec|2|tessel: --from takes seconds from the first record or a clock time HH:MM:SS[.mmm], not 1e3
convert --to 10:5:00 rec|2|tessel: --to takes seconds from the first record or a clock time HH:MM:SS[.mmm], not 10:5:00
convert --from 2 --to 1 rec|2|tessel: --from must come before --to
convert --quiet --events rec/CSC1.ncs|0|Warning: rec holds no Events.nev: converted without tags
convert --quiet --events ev/none.nev rec/CSC1.ncs|1|File Error: Couldn't open ev/none.nev
convert --quiet --events=ev/EVENTS.NEV rec/CSC1.ncs|0|Warning: ev/EVENTS.NEV: 2 of its 6 events lie before the first record converted or after the last, and are left out
convert --quiet --events= rec/CSC1.ncs|2|tessel: --events= needs a file
EOF
check "events: a file named" "4" "$(field Tags rec/CSC1.abf)"
rm -f rec/*.abf

# Outputs are made under names of their own: planted links are replaced or
# passed by, never written through; two runs onto one output both leave it whole.
gen --channels 2 --records 20000 race
"$tessel" convert --quiet race/CSC1.ncs && mv race/CSC1.abf race/alone.abf
before=$(cksum <race/CSC2.ncs) && ln -s CSC2.ncs race/CSC1.abf && ln -s CSC2.ncs race/CSC1.abf.tmp
run convert --quiet race/CSC1.ncs
check "planted links: input unchanged, output a whole regular file" "0|$before|regular|same" \
    "$rc|$(cksum <race/CSC2.ncs)|$([ ! -L race/CSC1.abf ] && echo regular)|$(cmp -s race/CSC1.abf race/alone.abf && echo same)"
rm race/CSC1.abf race/CSC1.abf.tmp
"$tessel" convert --quiet race/CSC1.ncs 2>race1.txt & first=$!
"$tessel" convert --quiet race/CSC1.ncs 2>race2.txt & second=$!
wait $first; rc1=$?; wait $second; rc2=$?
check "two runs at once: both succeed, output whole, nothing left" "0 0|||same|CSC1.abf CSC1.ncs CSC2.ncs alone.abf" \
    "$rc1 $rc2|$(cat race1.txt)|$(cat race2.txt)|$(cmp -s race/CSC1.abf race/alone.abf && echo same)|$(LC_ALL=C ls race | paste -sd' ')"

# The rest needs a POSIX process: Wine's console is no terminal of ours and
# its server does the writing.
[ -n "${TESSEL_UNDER_WINE:-}" ] && { echo "$passed passed, $failed failed"; [ "$failed" -eq 0 ]; exit; }

# A write that fails (here: the file size limit) is reported, and an older
# output survives.
echo older >rec/CSC1.abf
(trap '' XFSZ; ulimit -f 64; exec "$tessel" convert --combine rec/CSC1.ncs rec/CSC2.ncs rec/CSC3.ncs) >out.txt 2>err.txt; rc=$?
check "full disk: status, texts, older output kept, nothing left behind" \
    $'1|File Error: Couldn\'t write rec/CSC1.abf\nError: Error in Processing Data|older|rec/CSC1.abf' "$rc|$(cat err.txt)|$(cat rec/CSC1.abf)|$(echo rec/*.abf*)"

# On a terminal the run's two lines and a bar are drawn, at most 101 times a file.
if command -v script >/dev/null; then
    gen --channels 1 --records 300 long
    script -qec "'$tessel' convert long/CSC1.ncs" /dev/null </dev/null >tty.txt 2>&1
    draws=$(grep -o 'Window #' tty.txt | wc -l)
    check "terminal: first line, completion, redraws at most 101" "yes|1|1" \
        "$(grep -q 'Exporting long/CSC1.ncs to ABF.' tty.txt && echo yes)|$(grep -c 'Window #300 of 300 at .* seconds.*100 %' tty.txt)|$((draws > 0 && draws <= 101))"
    script -qec "'$tessel' convert --quiet long/CSC1.ncs" /dev/null </dev/null >tty.txt 2>&1
    check "terminal: quiet draws nothing" "" "$(tr -d '\r\n' <tty.txt)"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
