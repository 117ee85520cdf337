#!/bin/sh
# Black-box tests: run matchscore as a user would, on chosen standard input,
# and compare what it writes byte for byte.
#
# Usage: MATCHSCORE_FACTS=FILE program.sh GROUP
# MATCHSCORE_SEED replays a random run, MATCHSCORE_CASES sizes it.
set -u -f
group=$1
. "$(dirname "$0")/lib.sh"
if [ -n "$cannot_run" ]; then
    skip "$group" "$cannot_run"
    report "$group"
fi
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

# unix NAME REASON: whether a case applies; on Windows it does not, for REASON.
unix() {
    [ "$system" != Windows ] || { inapplicable "$1" "$2" && return 1; }
}

# text: standard input as standard output, each line ending in the
# system's newline, as a text stream ends it there.
text() {
    if [ "$system" = Windows ]; then sed 's/$/\r/'; else cat; fi
}

# The example, as a file to redirect from.
printf '1 2 3 4 1 3 5 2\n' >"$work/example"

# traced NAME INPUT OUTPUT STRACE-OPTION...: runs the program on INPUT,
# writing to OUTPUT and $work/err, under strace, which sees only the system
# calls on $work/out and $work/err (not a launcher's own) and writes them to
# $work/trace; skips NAME where strace is missing.
traced() {
    name=$1 input=$2 output=$3
    shift 3
    unix "$name" 'Windows has no strace' || return 1
    needs "$name" strace || return 1
    trace -P "$work/out" -P "$work/err" "$@" $launcher "$program" <"$input" >"$output" 2>"$work/err"
    status=$?
}

# trace OPTION... COMMAND...: runs COMMAND under strace, which writes to
# $work/trace. LeakSanitizer cannot run under ptrace; the untraced cases look
# for leaks.
trace() {
    ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 strace -f -qq -o "$work/trace" "$@"
}

# run INPUT [ARG...]: INPUT is printf %b text; leaves $status, $work/out, $work/err.
run() {
    input=$1
    shift
    printf '%b' "$input" | $launcher "$program" "$@" >"$work/out" 2>"$work/err"
    status=$?
}

# A run of any input ends with status 0 and nothing on standard error.
quiet_success() {
    if [ "$status" -ne 0 ] || [ -s "$work/err" ]; then
        fail "$1" "exit status $status, standard error: $(cat "$work/err"), wrote$(od -An -c "$work/out")"
        return 1
    fi
}

# check NAME OUTPUT: the run ended well and wrote OUTPUT (printf %b text).
check() {
    quiet_success "$1" || return
    printf '%b' "$2" | text >"$work/want"
    if cmp -s "$work/out" "$work/want"; then
        pass
    else
        fail "$1" "wrote$(od -An -c "$work/out")"
    fi
}

# holds NAME TEXT...: $work/out holds every TEXT.
holds() {
    name=$1
    shift
    for text; do
        grep -qF -- "$text" "$work/out" || { fail "$name" "no $text in: $(cat "$work/out")" && return; }
    done
    pass
}

# expect NAME INPUT OUTPUT [ARG...]
expect() {
    name=$1 input=$2 want=$3
    shift 3
    run "$input" "$@"
    check "$name" "$want"
}

# expect_failure NAME MESSAGE: the run ended with status 1, MESSAGE alone on
# standard error and nothing on standard output.
expect_failure() {
    printf '%s\n' "$2" | text >"$work/want"
    if [ "$status" -eq 1 ] && cmp -s "$work/err" "$work/want" && [ ! -s "$work/out" ]; then
        pass
    else
        fail "$1" "exit status $status, standard error: $(cat "$work/err"), wrote$(od -An -c "$work/out")"
    fi
}

# relro: the relocated data that the program's headers name (its RELRO
# range) is read-only before any input is read, made so exactly once: by the
# program itself where its start-up leaves it (a musl static PIE), else by
# the C library. A failure to protect it is fatal, as in a loader.
relro() {
    name='read-only relocations'
    unix "$name" 'a Windows program has no RELRO range' || return
    needs "$name" readelf strace || return
    set -- $(readelf -lW "$program" | awk '$1 == "GNU_RELRO" { print $3, $6 }')
    [ $# -eq 2 ] || { inapplicable "$name" 'the program has no RELRO range' && return; }
    case $launcher in
    qemu-*)
        # The emulator's trace shows the program's system calls, at
        # addresses of its own choosing.
        $launcher -D "$work/trace" -strace "$program" <"$work/example" >"$work/out" 2>"$work/err"
        status=$?
        sed -i 's/,/, /g' "$work/trace"
        start=$(($1 / 4096 * 4096)) end=$((($1 + $2) / 4096 * 4096)) address='[0-9a-f]*'
        ;;
    '')
        mkfifo "$work/fifo"
        trace -e trace=mprotect,read "$program" <"$work/fifo" >"$work/out" 2>"$work/err" &
        exec 3>"$work/fifo"
        # strace writes a call that blocks as it starts.
        for _ in $(seq 100); do
            grep -q ' read(0,' "$work/trace" && break
            sleep 0.1
        done
        maps=/proc/$(sed -n '1s/ .*//p' "$work/trace")/maps
        base=$(awk -v path="$(readlink -f "$program")" \
            '$6 == path && $3 == "00000000" { sub("-.*", "", $1); print $1; exit }' "$maps")
        [ -n "$base" ] || { fail "$name" "it did not wait for input, or is not in $maps" && return; }
        page=$(getconf PAGESIZE)
        start=$(((0x$base + $1) / page * page)) end=$(((0x$base + $1 + $2) / page * page))
        address=$(printf %x $start)
        while IFS=' -' read -r low high perms _; do
            if [ $((0x$low)) -lt $end ] && [ $((0x$high)) -gt $start ] && [ "${perms#*w}" != "$perms" ]; then
                fail "$name" "$low-$high is writable while it waits for input"
            fi
        done <"$maps"
        cat "$work/example" >&3
        exec 3>&-
        wait $!
        status=$?
        ;;
    *)
        inapplicable "$name" "${launcher%% *} makes system calls of its own"
        return
        ;;
    esac
    protected=$(sed '/ read(0,/q' "$work/trace" |
        grep -c " mprotect(0x0*$address, $((end - start)), PROT_READ) = 0")
    if [ "$protected" -ne 1 ]; then
        fail "$name" "$protected read-only mprotect calls of the range before input was read"
    else
        check "$name" '1\n2\n'
    fi

    name='protection refused'
    [ -z "$launcher" ] || { inapplicable "$name" 'strace sees the emulator, not the program' && return; }
    trace -e trace=mprotect,read -e inject=mprotect:error=EPERM "$program" \
        <"$work/example" >"$work/out" 2>"$work/err"
    status=$?
    if grep -q ' read(0,' "$work/trace"; then
        fail "$name" 'input was read'
    elif [ "$relro_applied_by" = program ]; then
        expect_failure "$name" 'matchscore: memory protection error: Operation not permitted'
    elif [ "$status" -eq 0 ] || [ ! -s "$work/err" ] || [ -s "$work/out" ]; then
        fail "$name" "the C library went on: exit status $status, standard error: $(cat "$work/err")"
    else
        pass
    fi
}

case $group in
table)
    # first list, second list, the two lines expected
    while read -r a b c d e f g h same cross; do
        expect "$a $b $c $d / $e $f $g $h" "$a $b $c $d $e $f $g $h\n" "$same\n$cross\n"
    done <<'CASES'
1 2 3 4      1 2 3 4      4 0
1 2 3 4      4 3 2 1      0 4
1 2 3 4      5 6 7 8      0 0
1 2 3 4      1 3 5 2      1 2
9 1 8 2      4 1 5 9      1 1
1 1 1 1      1 1 1 1      4 12
1 1 2 2      1 2 1 2      2 6
1 1 1 1      1 2 3 4      1 3
1 2 3 4      1 1 1 1      1 3
5 5 6 7      5 8 9 5      1 3
-1 +2 003 4  -1 2 3 4     4 0
-0 0 +0 -00  0 0 0 0      4 12
-5 5 -5 5    5 -5 5 -5    0 8
2147483647 -2147483648 0 1  -2147483648 2147483647 1 0  0 4
CASES
    ;;
ignored)
    # Arrangement, input after the eighth number and arguments change nothing.
    for input in '1 2 3 4 1 3 5 2\n' '1\n2\n3\n4\n1\n3\n5\n2\n' '\t1\t2\n\n\n3 4\n\n1\t\t3 5\n2' \
        '1 2 3 4\r\n1 3 5 2\r\n' '\v\f 1 2 3 4 1 3 5 2 \n' '1 2 3 4 1 3 5 2\n1 2 3 4 1 2 3 4\n' \
        '1 2 3 4 1 3 5 2 9 9 9 9' '1 2 3 4 1 3 5 2x\0377 junk\0'; do
        expect "input '$input'" "$input" '1\n2\n'
    done
    expect 'arguments' '1 2 3 4 1 3 5 2\n' '1\n2\n' --help -x file
    ;;
malformed)
    # A read that fails stores nothing. A character that cannot begin a number
    # stays unread, so every read after it fails too; a lone sign is used up.
    while IFS='|' read -r input same cross; do
        expect "input '$input'" "$input" "$same\n$cross\n"
    done <<'CASES'
|4|12
1 2 3 4|0|0
5 5 5 5 5 5 5|3|9
1 2 x 4 5 6 7 8|2|6
- 1 2 3 4 1 2 3 4|3|0
1.5 2 3 4 5 6 7 8|3|9
0x10 1 2 3 4 5 6 7|4|12
1 2\0 3 4 5 6 7 8|2|6
CASES
    ;;
streaming)
    # The answer must come once the eighth number is read, not at end of input,
    # and not before: the writer keeps the pipe open throughout.
    mkfifo "$work/fifo"
    timeout 20 $launcher "$program" <"$work/fifo" >"$work/out" 2>"$work/err" &
    pid=$!
    exec 3>"$work/fifo"
    printf '1 2 3 4 1 3 5 ' >&3
    sleep 1
    if ! kill -0 "$pid" 2>/dev/null || [ -s "$work/out" ]; then
        fail 'seven numbers' 'the program ended or wrote before the eighth number'
    fi
    printf '2\n' >&3
    wait "$pid"
    status=$?
    exec 3>&-
    check 'eighth number' '1\n2\n'
    # The answer, and each message, leaves in one system call, so that runs
    # sharing a pipe or a log never interleave, and a reader that stops after
    # one line cannot end the program half-way.
    while IFS='|' read -r what input output message; do
        name="one write: $what"
        : >"$work/out"
        traced "$name" "$input" "$output" -e trace=write,writev || continue
        # Writes to standard output and error; valgrind has a copy of its own.
        writes=$(grep -cE '^[0-9]+ +writev?\([12],' "$work/trace")
        if [ "$writes" -ne 1 ]; then
            fail "$name" "$writes system calls wrote it"
        elif [ -z "$message" ]; then
            check "$name" '1\n2\n'
        else
            expect_failure "$name" "$message"
        fi
    done <<CASES
answer|$work/example|$work/out|
read error|/|$work/out|matchscore: read error: Is a directory
write error|$work/example|/dev/full|matchscore: write error: No space left on device
CASES
    ;;
io-error)
    # Input that cannot be read, and an answer that cannot be written, are
    # failures, never an answer.
    if unix 'input a directory' 'no Windows shell gives a program a folder as input'; then
        $launcher "$program" </ >"$work/out" 2>"$work/err"
        status=$?
        expect_failure 'input a directory' 'matchscore: read error: Is a directory'
    fi
    if unix 'closed input' 'no Windows shell starts a program with standard input closed'; then
        $launcher "$program" <&- >"$work/out" 2>"$work/err"
        status=$?
        expect_failure 'closed input' 'matchscore: read error: Bad file descriptor'
    fi
    rm -f "$work/out"
    printf '1 2 3 4 1 3 5 2\n' | $launcher "$program" >/dev/full 2>"$work/err"
    status=$?
    expect_failure 'output to /dev/full' 'matchscore: write error: No space left on device'
    printf '1 2 3 4 1 3 5 2\n' | $launcher "$program" >&- 2>"$work/err"
    status=$?
    expect_failure 'closed output' 'matchscore: write error: Bad file descriptor'
    # A caller that ignores SIGPIPE, or Windows, which has none, leaves the
    # program to see the reader gone as a failed write, in the C runtime's
    # words. The reader (:) is gone long before the input comes.
    { sleep 1; cat "$work/example"; } |
        (trap '' PIPE && $launcher "$program" 2>"$work/err"; echo $? >"$work/status") | :
    status=$(cat "$work/status")
    reason='Broken pipe'
    [ "$system" != Windows ] || reason='Invalid argument'
    expect_failure 'reader gone, SIGPIPE ignored' "matchscore: write error: $reason"
    # Some file systems (NFS, FUSE) report a failed write only when the
    # file is closed.
    if traced 'failed close' "$work/example" "$work/out" \
        -e trace=close -e inject=close:error=ENOSPC; then
        : >"$work/out" # the answer reached the file; the close failed after it
        expect_failure 'failed close' 'matchscore: write error: No space left on device'
    fi
    # glibc, out of memory for a number that runs to the end of the input,
    # sets the end-of-file indicator as for a plain end of input. The right
    # answer or a read error are both sound; another answer is not.
    limit=20000
    # A launcher may crash under the limit; the shell that reports the crash
    # is this subshell, whose reports go nowhere (hence the trailing :).
    probe=$(exec 2>/dev/null; (ulimit -v $limit && $launcher "$program") </dev/null; :)
    if [ "$probe" != "$(printf '4\n12')" ]; then
        inapplicable 'memory runs out' "the program cannot run in $limit kB of address space here"
    else
        { printf '1 2 3 4 1 2 3 '; head -c 30000000 /dev/zero | tr '\0' 0; printf 4; } |
            (ulimit -v $limit && $launcher "$program") >"$work/out" 2>"$work/err"
        status=$?
        if [ "$status" -eq 0 ]; then
            check 'memory runs out' '4\n0\n'
        else
            expect_failure 'memory runs out' 'matchscore: read error: Cannot allocate memory'
        fi
    fi
    ;;
relro)
    relro
    ;;
version)
    # The program names its version where its platform's tools look: the
    # version resource and manifest that Windows shows, or the ELF note.
    version=$version_in_binary
    if [ -z "$version" ]; then
        inapplicable 'version' 'the linker writes no package note'
    elif [ "$system" = Windows ]; then
        "$resource_compiler" -J coff -O rc -i "$program" >"$work/out"
        holds 'version' "FILEVERSION $(echo "$version" | sed 's/\./, /g'), 0" \
            "\"FileVersion\", \"$version\"" "\"ProductVersion\", \"$version\"" \
            'level=""asInvoker""' '<supportedOS Id='
    elif needs version readelf; then
        readelf -n "$program" >"$work/out"
        holds 'version' "\"version\":\"$version\""
    fi
    ;;
random)
    # Any input gives two plain counts in range; well-formed input gives the
    # counts worked out independently, whichever list comes first.
    seed=${MATCHSCORE_SEED:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}
    awk -v seed="$seed" -v cases="${MATCHSCORE_CASES:-300}" \
        -f "$(dirname "$0")/random-cases.awk" >"$work/cases" || exit 1
    tab=$(printf '\t')
    while IFS=$tab read -r kind input swapped same cross; do
        if [ "$kind" = W ]; then
            expect "input '$input'" "$input" "$same\n$cross\n"
            expect "input '$swapped'" "$swapped" "$same\n$cross\n"
            continue
        fi
        run "$input"
        quiet_success "input '$input'" || continue
        tr -d '\r' <"$work/out" >"$work/lines"
        { read -r same && read -r cross; } <"$work/lines"
        case $same/$cross in
        [0-4]/[0-9] | [0-4]/1[0-2])
            if printf '%s\n%s\n' "$same" "$cross" | text | cmp -s - "$work/out"; then
                pass
                continue
            fi
            ;;
        esac
        fail "input '$input'" "wrote$(od -An -c "$work/out")"
    done <"$work/cases"
    [ "$failed" -eq 0 ] || echo "replay with MATCHSCORE_SEED=$seed"
    ;;
*)
    echo "program.sh: unknown group: $group" >&2
    exit 2
    ;;
esac

report "$group"
