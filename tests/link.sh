#!/bin/sh
# The binary against what configure said of it: the C library and the link
# its link summary names, and each protection it asked for, which the binary has
# unless configure warned it could not; and a link that printed no warning
# but those the builder's own flags cause, which configure saw without the
# project's.
#
# Usage: MATCHSCORE_FACTS=FILE link.sh
set -u
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/properties.sh"
needs link "$readelf" "$nm" "$objdump" || report link
found=$(properties "$program")
libc=$(echo "$found" | sed -n 's/^libc=//p')
link=$(echo "$found" | sed -n 's/^link=//p')
if [ "${libc:-an unknown C library}, $link" = "$link_summary" ]; then
    pass
else
    fail link "configure said '$link_summary'; the binary is ${libc:-an unknown C library}, $link"
fi
for property in $protections_wanted; do
    has=no lost=no
    echo "$found" | grep -qx "$property" && has=yes
    case " $protections_warned_of " in *" $property "*) lost=yes ;; esac
    case $has/$lost in
    yes/no | no/yes) pass ;;
    yes/yes) fail "$property" 'configure warned it would be missing, but the binary has it' ;;
    no/no) fail "$property" 'the binary lacks it, and configure did not warn' ;;
    esac
done
if [ ! -f "$link_log" ]; then
    fail link "no $link_log: the program was not linked through the link log"
else
    theirs=$(mktemp) || exit 1
    printf '%s\n' "$builder_warnings" >"$theirs"
    ours=$(grep -i 'warning' "$link_log" | sed 's/.*[Ww]arning: /warning: /' | grep -vxF -f "$theirs")
    rm -f "$theirs"
    [ -z "$ours" ] && pass || fail link "the link warned: $ours"
fi
report link
