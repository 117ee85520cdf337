#!/bin/sh
# Tests of what the build installs and cpack packs, read with the platforms'
# own tools: each package's fields and files, and the program in it, which
# must be the one the build tested, stripped, with the release's protections
# and the notice of what is linked into it, and must answer; the platforms'
# linters; and the copyright file as Debian's DEP-5 reader takes it.
#
# Usage: MATCHSCORE_FACTS=FILE packages.sh GROUP
# GROUP is install, deb, rpm, tarball, zip, msi, sbom, copyright, readme or
# workflow. Each package is held to the build's facts, its target's row of
# cmake/targets, and cmake/metadata.
set -u
group=$1
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/properties.sh"
build=$build_dir source=$source_dir
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

# What a Linux install puts under its prefix, and what its packages hold.
linux_files='bin/matchscore
share/doc/matchscore/changelog.gz
share/man/man1/matchscore.1.gz'
packed_files="$linux_files
share/doc/matchscore/copyright"
windows_texts='LICENSE.txt
NOTICE.txt
README.txt
changelog.txt
matchscore.txt'

# lists NAME WANT GOT: the lines of GOT are those of WANT, in any order.
lists() {
    printf '%s\n' "$2" | sort >"$work/want"
    printf '%s\n' "$3" | sort >"$work/got"
    if cmp -s "$work/want" "$work/got"; then
        pass
    else
        fail "$1" "missing: $(comm -23 "$work/want" "$work/got" | tr '\n' ' ')unexpected: \
$(comm -13 "$work/want" "$work/got" | tr '\n' ' ')"
    fi
}

# packed NAME FILE: whether cpack has made FILE in the build folder.
packed() {
    if [ -f "$build/$2" ]; then
        return
    elif [ -d "$build/_CPack_Packages" ]; then
        fail "$1" "cpack made no $2, but: $(cd "$build" && echo matchscore[-_]*.*)"
    else
        skip "$1" "nothing is packed: run cpack in $build, then ctest -L package \
(cmake --workflow --preset target does both)"
    fi
    return 1
}

# succeeds NAME COMMAND...: COMMAND succeeds; a linter finds nothing.
succeeds() {
    name=$1
    shift
    needs "$name" "$1" || return
    if "$@" >"$work/lint" 2>&1; then
        pass
    else
        fail "$name" "$(cat "$work/lint")"
    fi
}

# holds_program ROOT: the program under ROOT is the build's, stripped, of the
# target's machine with the protections the release promises (see
# doc/hardening.md); the notice beside it holds the copyright file of the
# library linked in, whole; and it answers.
holds_program() {
    if [ "$system" = Windows ]; then
        shipped=$1/matchscore.exe notice=$1/NOTICE.txt
        promised='libc=msvcrt
link=with the rest linked statically
aslr
high-entropy
dep'
    else
        shipped=$1/bin/matchscore notice=$1/share/doc/matchscore/copyright
        promised='link=as a static PIE
static-pie
relro
bind-now
nx-stack'
        [ "$(target_column machine)" != AArch64 ] || promised="$promised
pac"
    fi
    # A stripped Windows program carries the time it was stripped at, and
    # a shipped one a signature, which strip would leave half in place.
    unsigned=$shipped
    if [ "$system" = Windows ]; then
        unsigned=$work/unsigned.exe
        osslsigncode remove-signature -in "$shipped" -out "$unsigned" >/dev/null
    fi
    SOURCE_DATE_EPOCH=0 "$strip" -o "$work/built" "$program"
    SOURCE_DATE_EPOCH=0 "$strip" -o "$work/stripped" "$unsigned"
    if cmp -s "$work/built" "$work/stripped"; then
        pass
    else
        fail "$group: program" "$shipped is not the build's program, stripped"
    fi
    properties "$shipped" >"$work/properties"
    missing=$(printf '%s\n' "machine=$(target_column machine)" "$promised" | grep -vxF -f "$work/properties")
    if [ -z "$missing" ]; then
        pass
    else
        fail "$group: headers" "lacks $(echo $missing); has $(echo $(cat "$work/properties"))"
    fi
    # The library's own copyright file, as a copyright file's field holds it.
    awk 'NF { if (gap && printed) print " ."; print " " $0; printed = 1; gap = 0; next } { gap = 1 }' \
        "/usr/share/doc/${linked_library%%:*}/copyright" >"$work/notice"
    tr -d '\r' <"$notice" | awk -v library="$linked_library" 'on && !/^ / { exit } on > 1 { print } on { on++ }
        index($0, " The copyright file of " library " ") == 1 && / whole:$/ { on = 1 }' | cmp -s - "$work/notice" &&
        pass || fail "$group: notice" "${notice#"$work"/} does not hold the copyright file of $linked_library, whole"
    if [ -n "$cannot_run" ]; then
        skip "$group: answer" "$cannot_run"
    else
        answers "$group: answer" $emulator "$shipped"
    fi
}

# signed NAME FILE: osslsigncode finds FILE's Authenticode signature made by
# the build's certificate, and refuses it once a byte of FILE changes.
signed() {
    osslsigncode verify -CAfile "$authenticode_cert" "$2" >"$work/log" 2>&1 && pass ||
        fail "$1" "osslsigncode verify: $(tail -n 3 "$work/log")"
    cp "$2" "$work/changed"
    change_a_byte "$work/changed"
    osslsigncode verify -CAfile "$authenticode_cert" "$work/changed" >/dev/null 2>&1 &&
        fail "$1" 'osslsigncode verify accepts it with a byte changed' || pass
}

case $group in
install)
    "$cmake" --install "$build" --prefix "$work/prefix" >"$work/log" 2>&1 ||
        fail install "$(cat "$work/log")"
    if [ "$system" = Windows ]; then
        want=$(printf '%s\n' bin/matchscore.exe "$windows_texts" | sed '2,$s|^|share/doc/matchscore/|')
    else
        want=$linux_files
    fi
    lists 'install: files' "$want" "$(cd "$work/prefix" && find . -type f | sed 's|^\./||')"
    ;;
deb)
    deb=$build/matchscore_${version}_$target.deb
    packed deb "${deb##*/}" || report deb
    # The C library linked in, named where Debian's tools look for it.
    musl=$(dpkg-query -W -f='${source:Package} (= ${source:Version})' "$linked_library")
    while IFS='|' read -r field value; do
        got=$(dpkg-deb -f "$deb" "$field")
        [ "$got" = "$value" ] && pass || fail "deb: $field" "'$got', not '$value'"
    done <<FIELDS
Package|matchscore
Version|$version
Architecture|$target
Built-Using|$musl
Depends|
Section|$(metadata section)
Maintainer|$contact
FIELDS
    [ "$(dpkg-deb -f "$deb" Description)" = "$(metadata summary && metadata description | sed 's/^/ /')" ] &&
        pass || fail 'deb: Description' "not cmake/metadata's: $(dpkg-deb -f "$deb" Description)"
    lists 'deb: files' "$(printf '%s\n' "$packed_files" share/lintian/overrides/matchscore |
        sed 's|^|usr/|')" "$(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's|^\./||; /[^/]$/p')"
    dpkg-deb -x "$deb" "$work/deb"
    holds_program "$work/deb/usr"
    succeeds 'deb: lintian' lintian --pedantic -I --fail-on error,warning,info,pedantic "$deb"
    ;;
rpm)
    rpm=$build/matchscore-$version-1.$(target_column rpm).rpm
    packed rpm "${rpm##*/}" || report rpm
    needs rpm rpm2cpio cpio || report rpm
    while IFS='|' read -r tag value; do
        got=$(rpm -qp --qf "$tag" "$rpm")
        [ "$got" = "$value" ] && pass || fail "rpm: $tag" "'$got', not '$value'"
    done <<TAGS
%{NAME} %{VERSION}-%{RELEASE}|matchscore $version-1
%{ARCH}|$(target_column rpm)
%{PREFIXES}|(none)
%{LICENSE}|$(metadata licence)
%{GROUP}|$(metadata rpm-group)
%{PACKAGER}|$contact
%{SUMMARY}|$(metadata summary | awk '{ print toupper(substr($0, 1, 1)) substr($0, 2) }')
TAGS
    [ "$(rpm -qp --qf '%{DESCRIPTION}' "$rpm")" = "$(metadata description)" ] && pass ||
        fail 'rpm: description' "not cmake/metadata's: $(rpm -qp --qf '%{DESCRIPTION}' "$rpm")"
    # The C library linked in, named as Fedora names a bundled library; no
    # dependency but on rpm's own features; the project's changelog.
    bundled="bundled(musl) = $(dpkg-query -W -f='${source:Upstream-Version}' "$linked_library")"
    rpm -qp --provides "$rpm" | grep -qxF "$bundled" && pass || fail 'rpm: provides' "no $bundled"
    requires=$(rpm -qp --requires "$rpm" | grep -v '^rpmlib(')
    [ -z "$requires" ] && pass || fail 'rpm: requires' "$requires"
    entry=$(sed -n 's/^  \* /- /p' "$source/doc/changelog" | head -n 1)
    [ "$(rpm -qp --changelog "$rpm" | sed -n 2p)" = "$entry" ] && pass ||
        fail 'rpm: changelog' "its first entry is not: $entry"
    # Where the copyright file names Debian's copy of the licence, the rpm
    # carries LICENSE.
    licence=$(grep -q /usr/share/common-licenses/ "$build/copyright" && echo share/licenses/matchscore/LICENSE)
    lists 'rpm: files' "$(printf '%s\n' "$packed_files" $licence | sed 's|^|/usr/|')" \
        "$(rpm -qp --qf '[%{FILEMODES:perms} %{FILENAMES}\n]' "$rpm" | sed -n 's/^-[^ ]* //p')"
    mkdir "$work/rpm"
    (cd "$work/rpm" && rpm2cpio "$rpm" | cpio -idm --quiet)
    holds_program "$work/rpm/usr"
    rpmlint_config "$work/rpmlint.toml"
    succeeds 'rpm: rpmlint' rpmlint --strict -c "$work/rpmlint.toml" "$rpm"
    ;;
tarball)
    folder=matchscore-$version-linux-$(target_column processor)
    packed tarball "$folder.tar.gz" || report tarball
    lists 'tarball: files' "$(printf '%s\n' "$packed_files" LICENSE README.md changelog |
        sed "s|^|$folder/|")" "$(tar -tzf "$build/$folder.tar.gz" | grep -v '/$')"
    tar -xzf "$build/$folder.tar.gz" -C "$work"
    holds_program "$work/$folder"
    ;;
zip)
    folder=matchscore-$version-windows-$(target_column processor)
    packed zip "$folder.zip" || report zip
    needs zip unzip osslsigncode || report zip
    lists 'zip: files' "$(printf '%s\n' matchscore.exe "$windows_texts" | sed "s|^|$folder/|")" \
        "$(unzip -Z1 "$build/$folder.zip")"
    unzip -q "$build/$folder.zip" -d "$work"
    cr=$(printf '\r')
    for text in $windows_texts; do
        if grep -qv "$cr\$" "$work/$folder/$text"; then
            fail "zip: $text" 'has a line that does not end in CR LF'
        else
            pass
        fi
    done
    # Windows' own DLLs only.
    lists 'zip: DLLs' "$(printf '%s\n' advapi32.dll kernel32.dll msvcrt.dll)" \
        "$("$objdump" -p "$work/$folder/matchscore.exe" |
            sed -n 's/^[[:space:]]*DLL Name: //p' | tr A-Z a-z)"
    holds_program "$work/$folder"
    signed 'zip: signature' "$shipped"
    # The signed program passes the program's tests, as users get it.
    { grep -v '^program=' "$MATCHSCORE_FACTS" && echo "program='$shipped'"; } >"$work/facts.sh"
    for program_group in $program_groups; do
        MATCHSCORE_FACTS=$work/facts.sh sh "$source/tests/program.sh" "$program_group" >"$work/log" 2>&1
        case $? in
        0) pass ;;
        77) skip "zip: the signed program: $program_group" "$(grep '^SKIP' "$work/log")" ;;
        *) fail "zip: the signed program: $program_group" "$(grep '^FAIL' "$work/log")" ;;
        esac
    done
    ;;
msi)
    folder=matchscore-$version-windows-$(target_column processor)
    msi=$build/$folder.msi
    packed msi "$folder.msi" || report msi
    needs msi msiinfo osslsigncode unzip || report msi
    signed 'msi: signature' "$msi"
    # The zip's files, and what Add/Remove Programs shows.
    unzip -q "$build/$folder.zip" -d "$work"
    lists 'msi: files' "$(cd "$work/$folder" && ls)" "$(msiinfo export "$msi" File | tr -d '\r' | awk 'NR > 3 { print $3 }')"
    lists 'msi: properties' "$(printf 'ProductName matchscore\nProductVersion %s\nManufacturer %s\nUpgradeCode {%s}' \
        "$version" "$(metadata vendor)" "$(metadata windows-upgrade-code)")" \
        "$(msiinfo export "$msi" Property | tr '\t' ' ' | tr -d '\r' | grep -E '^(Product(Name|Version)|Manufacturer|UpgradeCode) ')"

    # Installed, upgraded, kept from a downgrade and removed by wine's
    # msiexec, in a prefix of its own; a new cmd, started once the last has
    # ended, reads the system Path anew.
    needs 'msi: wine' wine || report msi
    WINEPREFIX=$work/wine WINEDEBUG=-all && export WINEPREFIX WINEDEBUG
    wine() { command wine "$@"; status=$?; wineserver -w; return $status; }
    system_path() {
        wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v Path |
            tr -d '\r' | sed -n 's/^ *Path *REG_[A-Z_]* *//p'
    }
    installed() {
        wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s |
            tr -d '\r' | sed -n 's/^ *Display\(Name\|Version\) *REG_SZ *//p' | paste -sd ' '
    }
    wine wineboot --init >/dev/null 2>&1
    path_before=$(system_path) files_before=$(ls "$WINEPREFIX/drive_c/Program Files")
    succeeds 'msi: msiexec /i' wine msiexec /i "$msi" /qn
    answers 'msi: cmd finds matchscore on Path' wine cmd /c matchscore
    # A later release, whose README has changed.
    later=${version%%.*}.999.0
    cp -R "$work/$folder" "$work/later" && echo later >>"$work/later/README.txt"
    "$cmake" -D WXS="$build/matchscore.wxs" -D FOLDER="$work/later" -D VERSION="$later" -D OUTPUT="$work/later.msi" \
        -P "$source/packaging/msi.cmake" >"$work/log" 2>&1 || fail 'msi: a later release' "$(cat "$work/log")"
    succeeds 'msi: msiexec /i, an upgrade' wine msiexec /i "$work/later.msi" /qn
    [ "$(installed)" = "matchscore $later" ] && cmp -s "$work/later/README.txt" "$WINEPREFIX/drive_c/Program Files/matchscore/README.txt" &&
        pass || fail 'msi: upgraded in place' "installed: $(installed)"
    wine msiexec /i "$msi" /qn && fail 'msi: a downgrade' 'msiexec /i installed it' || pass
    [ "$(installed)" = "matchscore $later" ] && pass || fail 'msi: a downgrade' "installed: $(installed)"
    succeeds 'msi: msiexec /x' wine msiexec /x "$work/later.msi" /qn
    [ "$(system_path)" = "$path_before" ] && pass || fail 'msi: Path after removal' "$(system_path)"
    [ "$(ls "$WINEPREFIX/drive_c/Program Files")" = "$files_before" ] && [ -z "$(installed)" ] && pass ||
        fail 'msi: removed' "left: $(ls "$WINEPREFIX/drive_c/Program Files") $(installed)"
    ;;
sbom)
    # The SBOMs cpack wrote beside the packages: valid CycloneDX, SPDX with the
    # fields SPDX 2.3 requires, the packed program's digest, each
    # component at the version installed here, and every not_affected claim
    # of doc/vex true of the program.
    cdx=$build/matchscore-$version-$target.cdx.json spdx=$build/matchscore-$version-$target.spdx.json
    packed sbom "${cdx##*/}" && needs sbom jq || report sbom
    if [ -d "$source/tests/node_modules/@cyclonedx" ]; then
        succeeds 'sbom: schema' node "$source/tests/cyclonedx-schema.js" "$cdx"
    else
        skip 'sbom: schema' "the CycloneDX validator is not installed: npm ci --omit=optional --prefix $source/tests"
    fi
    jq -e '.spdxVersion == "SPDX-2.3" and .dataLicense == "CC0-1.0" and .SPDXID == "SPDXRef-DOCUMENT"
        and (.name | length > 0) and (.documentNamespace | test("^[a-z]+://[^#]+$"))
        and (.creationInfo.created | test("^[0-9-]+T[0-9:]+Z$")) and (.creationInfo.creators | length > 0)
        and all(.packages[]; (.SPDXID | test("^SPDXRef-[A-Za-z0-9.-]+$")) and .name and .downloadLocation)
        and all(.relationships[]; .spdxElementId and .relationshipType and .relatedSpdxElement)' \
        "$spdx" >/dev/null && pass || fail 'sbom: SPDX' "$spdx lacks a field SPDX 2.3 requires"
    folder=matchscore-$version-$(echo "$system" | tr A-Z a-z)-$(target_column processor)
    case $system in
    Windows) unzip -q "$build/$folder.zip" "$folder/matchscore.exe" -d "$work" && folder_program=$work/$folder/matchscore.exe ;;
    *) tar -xzf "$build/$folder.tar.gz" -C "$work" "$folder/bin/matchscore" && folder_program=$work/$folder/bin/matchscore ;;
    esac
    digest=$(sha256sum "$folder_program")
    [ "$(jq -r '.metadata.component.hashes[0].content' "$cdx") $(jq -r '.packages[0].checksums[0].checksumValue' "$spdx")" = \
        "${digest%% *} ${digest%% *}" ] && pass || fail 'sbom: digest' "not the packed program's, ${digest%% *}"
    jq -r '.components[] | select(.type == "library") | .purl
        | capture("^pkg:deb/debian/(?<name>[^@]*)@(?<version>[^?]*)[?]arch=(?<arch>[^&]*)")
        | "\(.name):\(.arch) \(.version | gsub("%2B"; "+") | gsub("%3A"; ":"))"' "$cdx" >"$work/components"
    other=$(while read -r package listed; do
        [ "$(dpkg-query -W -f='${Version}' "$package")" = "$listed" ] || echo "$package $listed"
    done <"$work/components")
    grep -qE "^$linked_library(:all)? " "$work/components" && [ -z "$other" ] && pass ||
        fail 'sbom: components' "not the packages linked from here: $(cat "$work/components")"
    # The program as packed, with the debug information the release
    # publishes beside it where it is an ELF file.
    debug=$build/matchscore-$version-$target.debug
    if [ -f "$debug" ]; then
        "$source/tools/vex-claims" "$version" "$cdx" "$folder_program" "$debug"
    else
        "$source/tools/vex-claims" "$version" "$cdx" "$program"
    fi >"$work/claims"
    while read -r vulnerability verdict; do
        [ "$verdict" = holds ] && pass || fail "sbom: $vulnerability" "doc/vex says not_affected, but ${verdict#fails: }"
    done <"$work/claims"
    ;;
workflow)
    # The forge's CI workflows, against the published schema of workflows.
    validator=$source/tests/node_modules/.bin/action-validator
    if [ -x "$validator" ]; then
        succeeds workflow "$validator" "$source"/.github/workflows/*.yml
    else
        skip workflow "the workflow validator is not installed: npm ci --omit=optional --prefix $source/tests"
    fi
    ;;
readme)
    # The README's table of packages is cmake/targets', row for row.
    lists 'readme: targets' "$(awk '!/^#/ && $2 == "Linux" { for (i = 6; i <= 7; i++)
        $i = $i == "-" ? "none" : "`" $i "`"; printf "| `%s` | `%s` | %s | %s |\n", $1, $3, $6, $7 }' \
        "$source/cmake/targets")" "$(grep '^| `' "$source/README.md")"
    ;;
copyright)
    # DEP-5 as lintian reads it in a source package, where every Files
    # pattern must name a file of the source.
    needs copyright dpkg-source lintian || report copyright
    package=$work/matchscore-$version
    mkdir -p "$package/debian/source"
    cp -R "$source/LICENSE" "$source/src" "$package"
    cp "$build/copyright" "$package/debian/copyright"
    cp "$source/doc/changelog" "$package/debian/changelog"
    echo '3.0 (native)' >"$package/debian/source/format"
    printf '#!/usr/bin/make -f\n%%:\n\tdh $@\n' >"$package/debian/rules"
    printf 'Source: matchscore\nMaintainer: %s\n\nPackage: matchscore\nArchitecture: any\n%s\n' \
        "$contact" "Description: the copyright file's check" >"$package/debian/control"
    (cd "$work" && dpkg-source -b "${package##*/}") >"$work/log" 2>&1 ||
        fail copyright "dpkg-source: $(cat "$work/log")"
    succeeds copyright lintian -C debian/copyright/dep5 --pedantic -I \
        --fail-on error,warning,info,pedantic "$work/matchscore_$version.dsc"
    ;;
*)
    echo "packages.sh: unknown group: $group" >&2
    exit 2
    ;;
esac
report "$group"
