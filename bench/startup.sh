#!/bin/sh
# Start-up cost of matchscore against the floor for starting a process: an
# empty, statically linked C program. Instruction counts come from callgrind
# and are repeatable; wall times come from hyperfine, in rounds that time both
# programs back to back, so that the median ratio shrugs off a noisy machine.
#
# Usage: bench/startup.sh [PROGRAM] [ROUNDS]   (defaults: build/matchscore, 5)
# Needs a C compiler, valgrind and hyperfine: apt-get install gcc valgrind hyperfine
set -eu
program=${1:-build/matchscore}
rounds=${2:-5}
for tool in cc valgrind hyperfine; do
    command -v "$tool" >/dev/null || {
        echo "startup.sh: $tool not found; install it with: apt-get install gcc valgrind hyperfine" >&2
        exit 1
    }
done
[ -x "$program" ] || { echo "startup.sh: $program: no such program; build it first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'int main(void) { return 0; }\n' >"$work/empty.c"
cc -O2 -static "$work/empty.c" -o "$work/empty"
printf '1 2 3 4 1 3 5 2\n' >"$work/input"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# instructions COMMAND...: the user-space instructions callgrind counts in COMMAND,
# a valgrind run, on the example input.
instructions() {
    "$@" <"$work/input" 2>&1 >/dev/null | sed -n 's/.*Collected : //p'
}

# The C library's start-up scans the environment, so an empty one makes the
# fixed costs weigh more; both programs always run with the same one.
echo "user-space instructions (valgrind --tool=callgrind), one run on the example input:"
for environment in current empty; do
    launch=
    [ "$environment" = empty ] && launch='env -i'
    floor=$(instructions $launch valgrind --tool=callgrind --callgrind-out-file=/dev/null "$work/empty")
    ours=$(instructions $launch valgrind --tool=callgrind --callgrind-out-file=/dev/null "$program")
    printf '  %-21s empty static C %7d   matchscore %7d   ratio %s\n' \
        "$environment environment:" "$floor" "$ours" "$(ratio "$ours" "$floor")"
done

echo "median wall time (hyperfine -N, 1000 runs of each a round, standard input /dev/null):"
round=1
while [ "$round" -le "$rounds" ]; do
    hyperfine -N --style none --warmup 100 --runs 1000 --export-json "$work/times.json" \
        "$work/empty" "$program" >/dev/null 2>&1
    sed -n 's/.*"median": \([0-9.e-]*\).*/\1/p' "$work/times.json" | awk -v round="$round" '
        { median[NR] = $1 }
        END { printf "  round %d: empty static C %6.1f us   matchscore %6.1f us   ratio %.2f\n",
              round, median[1] * 1e6, median[2] * 1e6, median[2] / median[1] }'
    round=$((round + 1))
done
