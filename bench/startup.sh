#!/bin/sh
# Start-up cost of matchscore against the kernel's floor for starting a
# process: a static program whose entry point only makes the exit system
# call. An empty C program linked statically against glibc is a second
# reference. Wall times come from bench/spawn.c, which runs the programs in
# turn, rotating the order each round, and reports medians; page faults come
# from the same runs, system calls from strace.
#
# Instruction counts are left out on purpose: valgrind emulates CPUID, while
# on a virtual machine every CPUID traps to the hypervisor, and glibc's
# start-up makes dozens of them. That cost is most of a glibc run and no
# instruction counter sees it.
#
# Usage: bench/startup.sh [PROGRAM...]   (default: build/default/matchscore)
# ROUNDS sets the number of rounds (default 3000).
# Needs a C compiler and strace (apt-get install gcc strace); x86-64 only.
set -eu
[ $# -gt 0 ] || set -- build/default/matchscore
rounds=${ROUNDS:-3000}
for tool in cc strace; do
    command -v "$tool" >/dev/null || {
        echo "startup.sh: $tool not found; install it with: apt-get install gcc strace" >&2
        exit 1
    }
done
for program; do
    [ -x "$program" ] || { echo "startup.sh: $program: no such program; build it first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'void _start(void) { __asm__ volatile("mov $60, %%eax\\n xor %%edi, %%edi\\n syscall"); }\n' \
    >"$work/floor.c"
cc -O2 -nostdlib -static "$work/floor.c" -o "$work/kernel-floor"
printf 'int main(void) { return 0; }\n' >"$work/empty.c"
cc -O2 -static "$work/empty.c" -o "$work/empty-glibc"
cc -O2 "$(dirname "$0")/spawn.c" -o "$work/spawn"
printf '1 2 3 4 1 3 5 2\n' >"$work/input"

set -- "$work/kernel-floor" "$work/empty-glibc" "$@"
echo "posix_spawn to exit, $rounds rounds, order rotated each round, standard input the example:"
printf '  %-34s %10s %7s %12s %13s\n' program median ratio "page faults" "system calls"
"$work/spawn" "$rounds" "$work/input" "$@" | while read -r micros ratio faults; do
    strace -qq -o "$work/trace" "$1" <"$work/input" >/dev/null
    case $1 in
    "$work"/*) name="${1#"$work"/} (reference)" ;;
    *) name=$1 ;;
    esac
    printf '  %-34s %7s us %7s %12s %13s\n' "$name" "$micros" "$ratio" "$faults" \
        "$(grep -c . "$work/trace")"
    shift
done
