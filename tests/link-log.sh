#!/bin/sh
# Usage: link-log.sh LOG COMMAND...
# The build links matchscore through this: it runs COMMAND and keeps what it
# prints in LOG, where the link test finds any warning, and shows it too.
log=$1
shift
"$@" >"$log" 2>&1
status=$?
cat "$log" >&2
exit $status
