# shellcheck shell=sh
# Sourced by every test: the build's facts (MATCHSCORE_FACTS names the file
# tests/CMakeLists.txt writes), the readers of the files that hold a fact of
# their own, and how a group's cases end: PASS, FAIL, N/A for a case that cannot
# apply to this build, or SKIP for one whose tool is missing, with why. A
# skip makes its group exit 77, ctest's skipped, or, where
# MATCHSCORE_NO_SKIP=1 is in the environment, as CI sets it, fail.
passed=0 failed=0 skipped=0
[ -z "${MATCHSCORE_FACTS:-}" ] || . "$MATCHSCORE_FACTS"
source_dir=${source_dir:-$(cd "$(dirname "$0")/.." && pwd)}

# metadata FIELD: the field of cmake/metadata, one line a line.
metadata() {
    awk -v field="$1" '/^#/ { next } /^[^ ]/ { on = index($0, field ": ") == 1; if (on)
        print substr($0, length(field) + 3); next } on { print substr($0, 2) }' "$source_dir/cmake/metadata"
}

# target_column NAME: the NAME column of this build's row of cmake/targets,
# where "-" reads as empty.
target_column() {
    awk -v target="$target" -v name="$1" '$1 == "#target" { for (i = 1; i <= NF; i++) at[$i] = i }
        $1 == target { print ($at[name] == "-" ? "" : $at[name]) }' "$source_dir/cmake/targets"
}

# rpmlint_config FILE: packaging/rpmlint.toml, with the licence of cmake/metadata.
rpmlint_config() {
    { cat "$source_dir/packaging/rpmlint.toml" && echo "ValidLicenses = ['$(metadata licence)']"; } >"$1"
}

pass() {
    passed=$((passed + 1))
}

fail() {
    failed=$((failed + 1))
    printf 'FAIL %s: %s\n' "$1" "$2"
}

# skip NAME REASON: a case this machine lacks the means to run.
skip() {
    if [ "${MATCHSCORE_NO_SKIP:-0}" = 1 ]; then
        fail "$1" "$2, and this build lets no check skip"
    else
        skipped=$((skipped + 1))
        printf 'SKIP %s: %s\n' "$1" "$2"
    fi
}

# inapplicable NAME REASON: a case that has no meaning for this build.
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
# its two lines, which end in CR LF where the system built for is Windows.
answers() {
    answering=$1
    shift
    answer=$(printf '1 2 3 4 1 3 5 2\n' | "$@" 2>&1 | od -An -c)
    newline='\n'
    [ "${system:-Linux}" != Windows ] || newline='\r \n'
    if [ "$(echo $answer)" = "$(echo 1 $newline 2 $newline)" ]; then
        pass
    else
        fail "$answering" "wrote $answer"
    fi
}

# change_a_byte FILE: changes FILE's middle byte to another value, whatever it
# held (0xFF written over a byte that was 0xFF would change nothing).
change_a_byte() {
    offset=$(($(stat -c %s "$1") / 2))
    byte=$(od -An -tu1 -j "$offset" -N1 "$1")
    # shellcheck disable=SC2059
    printf "\\$(printf '%03o' $((255 - byte)))" | dd of="$1" bs=1 seek="$offset" conv=notrunc status=none
}

# report GROUP: the group's line, and its exit status.
report() {
    printf '%s: %d passed, %d failed, %d skipped\n' "$1" "$passed" "$failed" "$skipped"
    [ "$failed" -eq 0 ] || exit 1
    [ "$skipped" -eq 0 ] || exit 77
    exit 0
}
