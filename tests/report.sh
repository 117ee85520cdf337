# shellcheck shell=sh
# Sourced by the tests: how a group's rows end, and the line that ends the
# group. A row passes or fails; one that cannot apply to this build (a
# Windows program has no RELRO range) says N/A; one whose tool is missing
# says SKIP, with why, and the group then exits 77, which ctest reports as
# skipped. Where MATCHSCORE_NO_SKIP is 1 (the build sets it from its option
# of that name) or, unset, where CI is set, a skip fails instead, so that no
# check passes in CI by not running.
passed=0 failed=0 skipped=0
case ${MATCHSCORE_NO_SKIP:-${CI:-0}} in '' | 0 | false | no | off | OFF) no_skip=0 ;; *) no_skip=1 ;; esac

pass() {
    passed=$((passed + 1))
}

fail() {
    failed=$((failed + 1))
    printf 'FAIL %s: %s\n' "$1" "$2"
}

# skip NAME REASON: a row this machine lacks the means to run.
skip() {
    if [ "$no_skip" = 1 ]; then
        fail "$1" "$2, and this build lets no check skip"
    else
        skipped=$((skipped + 1))
        printf 'SKIP %s: %s\n' "$1" "$2"
    fi
}

# inapplicable NAME REASON: a row that has no meaning for this build.
inapplicable() {
    printf 'N/A %s: %s\n' "$1" "$2"
}

# needs NAME TOOL...: whether every TOOL is installed; skips NAME if not.
needs() {
    needed_by=$1
    shift
    for tool; do
        command -v "$tool" >/dev/null || { skip "$needed_by" "$tool is not installed" && return 1; }
    done
}

# answers NAME COMMAND...: COMMAND, a matchscore, answers the example with
# its two lines, which end in CR LF where MATCHSCORE_SYSTEM is Windows.
answers() {
    answering=$1
    shift
    answer=$(printf '1 2 3 4 1 3 5 2\n' | "$@" 2>&1 | od -An -c)
    newline='\n'
    [ "${MATCHSCORE_SYSTEM:-Linux}" != Windows ] || newline='\r \n'
    if [ "$(echo $answer)" = "$(echo 1 $newline 2 $newline)" ]; then
        pass
    else
        fail "$answering" "wrote $answer"
    fi
}

# report GROUP: the group's line, and its exit status.
report() {
    printf '%s: %d passed, %d failed, %d skipped\n' "$1" "$passed" "$failed" "$skipped"
    [ "$failed" -eq 0 ] || exit 1
    [ "$skipped" -eq 0 ] || exit 77
    exit 0
}
