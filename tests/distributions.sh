#!/bin/sh
# matchscore built as Debian, Fedora and Arch Linux build a CMake package:
# with CMAKE_BUILD_TYPE=None and the flags of tests/distributions, a canary
# added, on a machine that has musl too. Each compile and link line carries
# the builder's flags; the program is the toolchain's own, linked
# dynamically against libc.so.6, a PIE with RELRO and BIND_NOW; its debug
# information names its source as the builder's map leaves it; it carries
# no package note but the builder's; no macro is redefined; an install
# holds the program, its manual and its changelog alone; and the project's
# tests pass, as each distribution's check runs them.
#
# Usage: tests/distributions.sh [DISTRIBUTION...]   (.ci/check runs it)
set -u
. "$(dirname "$0")/lib.sh"
cd "$source_dir" || exit 1
table=tests/distributions
[ $# -gt 0 ] || set -- $(awk '!/^#/ && NF { print $1 }' "$table" | uniq)
needs distributions cmake readelf ctest || report distributions
[ -f /usr/lib/x86_64-linux-musl/libc.a ] ||
    skip distributions 'musl-dev is not installed, as it may be where a distribution builds'
canary=$(od -An -tx1 -N16 /dev/urandom | tr -d ' \n')
source=$PWD/src/matchscore.cpp
installed='usr/bin/matchscore
usr/share/doc/matchscore/changelog.gz
usr/share/man/man1/matchscore.1.gz'

# flags DISTRIBUTION VARIABLE...: the values of its VARIABLEs, joined.
flags() {
    distribution=$1
    shift
    for variable; do
        awk -v d="$distribution" -v v="$variable" '$1 == d && $2 == v { sub(/^[^ ]+ +[^ ]+ +/, ""); print }' "$table"
    done | sed "s|@SOURCE@|$PWD|g" | paste -sd ' '
}
# carries NAME LINE FLAGS: the command LINE holds FLAGS as the builder gave them.
carries() {
    case $2 in *"$3"*) pass ;; *) fail "$1" "lacks the builder's $3: $2" ;; esac
}

mkdir -p build
for distribution; do
    build=build/distribution-$distribution root=$PWD/build/distribution-$distribution-root
    log=$build.log
    cxxflags="$(flags "$distribution" CXXFLAGS CPPFLAGS) -D__DEB_CANARY_CXXFLAGS_${canary}__"
    ldflags="$(flags "$distribution" LDFLAGS) -Wl,-z,deb-canary-$canary"
    rm -rf "$build" "$root"
    if ! { CXXFLAGS=$cxxflags LDFLAGS=$ldflags cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=None \
        -DCMAKE_INSTALL_PREFIX=/usr && cmake --build "$build" -v &&
        DESTDIR=$root cmake --install "$build"; } >"$log" 2>&1; then
        fail "$distribution: build" "$(tail -n 5 "$log")"
        continue
    fi
    carries "$distribution: the compile line" "$(grep -F -- "-c $source" "$log")" "$cxxflags"
    carries "$distribution: the link line" "$(grep -F -- ' -o matchscore ' "$log")" "$cxxflags $ldflags"

    headers=$(readelf -hlWd "$build/matchscore")
    for property in 'a PIE|Type: *DYN' 'dynamically linked|INTERP' 'against libc.so.6|NEEDED.*\[libc\.so\.6\]' \
        'RELRO|GNU_RELRO' 'BIND_NOW|BIND_NOW'; do
        echo "$headers" | grep -q "${property#*|}" && pass ||
            fail "$distribution: ${property%|*}" "readelf -hlWd shows no ${property#*|}"
    done
    map=$(echo "$cxxflags" | tr ' ' '\n' | sed -n 's/^-ffile-prefix-map=//p' | tail -n 1)
    expected=$source
    [ -z "$map" ] || expected=${map#*=}${source#"${map%%=*}"}
    named=$(readelf --debug-dump=info "$build/matchscore" | sed -n 's/.*DW_AT_name .*: \(.*matchscore\.cpp\)$/\1/p' | sort -u)
    [ "$named" = "$expected" ] && pass ||
        fail "$distribution: debug information" "names the source '$named', not '$expected', as the builder's flags leave it"
    note=$(readelf -n "$build/matchscore" | sed -n 's/^ *Packaging Metadata: //p')
    theirs=$(echo "$ldflags" | sed -n "s/.*--package-metadata=\([^']*\)'.*/\1/p")
    [ "$note" = "$theirs" ] && pass ||
        fail "$distribution: package note" "'$note', not the builder's '${theirs:-none}'"
    redefined=$(grep -i 'redefined' "$log")
    [ -z "$redefined" ] && pass || fail "$distribution: no macro redefined" "$redefined"
    files=$(cd "$root" && find . ! -type d | sed 's|^\./||' | sort)
    [ "$files" = "$installed" ] && pass ||
        fail "$distribution: the install" "holds $(echo $files), not $(echo $installed)"
    ctest --test-dir "$build" --output-on-failure >"$build.ctest.log" 2>&1 && pass ||
        fail "$distribution: ctest" "$(grep -E 'FAIL|SKIP|tests passed' "$build.ctest.log")"
done
report distributions
