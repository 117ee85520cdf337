#!/bin/sh
# The binary against what configure said of it: the C library and the link
# its label names, and each protection it asked for, which the binary has
# unless configure warned it could not; and a link that printed no warning.
#
# Usage: label.sh PROGRAM
# MATCHSCORE_LABEL is configure's label, MATCHSCORE_WANTED and
# MATCHSCORE_LOST the protections asked for and warned of, and
# MATCHSCORE_LINK_LOG what the link printed.
set -u
program=$1
. "$(dirname "$0")/report.sh"
. "$(dirname "$0")/binary.sh"
needs label "${MATCHSCORE_READELF:-readelf}" "${MATCHSCORE_NM:-nm}" "${MATCHSCORE_OBJDUMP:-objdump}" ||
    report label
found=$(properties "$program")
libc=$(echo "$found" | sed -n 's/^libc=//p')
link=$(echo "$found" | sed -n 's/^link=//p')
if [ "${libc:-an unknown C library}, $link" = "$MATCHSCORE_LABEL" ]; then
    pass
else
    fail label "configure said '$MATCHSCORE_LABEL'; the binary is ${libc:-an unknown C library}, $link"
fi
for property in $MATCHSCORE_WANTED; do
    has=no lost=no
    echo "$found" | grep -qx "$property" && has=yes
    case " $MATCHSCORE_LOST " in *" $property "*) lost=yes ;; esac
    case $has/$lost in
    yes/no | no/yes) pass ;;
    yes/yes) fail "$property" 'configure warned it would be missing, but the binary has it' ;;
    no/no) fail "$property" 'the binary lacks it, and configure did not warn' ;;
    esac
done
if [ ! -f "$MATCHSCORE_LINK_LOG" ]; then
    fail link "no $MATCHSCORE_LINK_LOG: the program was not linked through the link log"
elif grep -qi 'warning' "$MATCHSCORE_LINK_LOG"; then
    fail link "the link warned: $(cat "$MATCHSCORE_LINK_LOG")"
else
    pass
fi
report label
