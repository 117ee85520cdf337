#!/bin/sh
# Tests of a release as its users meet it: its checksums and signatures,
# its repositories holding its own packages, those packages made again from
# the source tarball alone, and apt, dnf, zypper and pacman installing,
# refusing and upgrading matchscore from it, each from the release's own
# address, with the key installed as doc/install.md says.
#
# Usage: release.sh GROUP DIST [LATER]
# DIST is a folder tools/release wrote; LATER, a release of a later version
# made with the same key for the same address, which the upgrade cases serve
# in DIST's place. GROUP is sums, signatures, statements, repositories, windows,
# rebuild, apt-bookworm, apt-trixie, dnf, zypper, pacman or makepkg. Where
# MATCHSCORE_SIGNING_KEY is set, the release's key must be the one it names.
set -u
group=$1 dist=$(realpath "$2") later=${3:+$(realpath "$3")}
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d) || exit 1
chmod 755 "$work"
keyring=matchscore-archive-keyring.asc

# The release's address, as its provenance names it, and its version.
url=$(jq -r .predicate.buildDefinition.externalParameters.releaseUrl "$dist"/matchscore-*.intoto.json)
path=${url#file://}
version_of() {
    sed -n 's/^[0-9a-f]*  matchscore-\([0-9][^-]*\)\.tar\.gz$/\1/p' "$1/SHA256SUMS"
}
version=$(version_of "$dist")
fingerprint=$(gpg --batch --with-colons --show-keys "$dist/$keyring" 2>/dev/null |
    awk -F: '$1 == "fpr" { print $10; exit }')

# step NAME COMMAND...: COMMAND succeeds.
step() {
    name=$1
    shift
    if "$@" >"$work/log" 2>&1; then
        pass
    else
        fail "$name" "$(tail -n 5 "$work/log")"
    fi
}

# refuses NAME WHY COMMAND...: COMMAND fails, and says why: its output
# matches the extended regular expression WHY.
refuses() {
    name=$1 why=$2
    shift 2
    if "$@" >"$work/log" 2>&1; then
        fail "$name" 'it was not refused'
    elif grep -qE "$why" "$work/log"; then
        pass
    else
        fail "$name" "refused, but not for '$why': $(tail -n 5 "$work/log")"
    fi
}

# same NAME WANT GOT
same() {
    [ "$2" = "$3" ] && pass || fail "$1" "'$3', not '$2'"
}

# released_targets: the targets the release holds, as its SBOMs name them.
released_targets() {
    for sbom in "$dist/matchscore-$version-"*.cdx.json; do
        sbom=${sbom##*/matchscore-"$version"-}
        echo "${sbom%.cdx.json}"
    done
}

# tampered FILE: a copy of the release with a byte of FILE (a path in it)
# changed after signing; prints the copy's folder.
tampered() {
    rm -rf "$work/tampered"
    cp -a "$dist" "$work/tampered"
    change_a_byte "$work/tampered/$1"
    echo "$work/tampered"
}

# serving NAME: whether the clients can reach a release at its address
# here, a file:// folder, as root; and there is a later release to upgrade
# to. Skips NAME if not.
serving() {
    if [ -z "$later" ]; then
        skip "$1" 'no later release was given to upgrade to'
    elif [ "$(id -u)" != 0 ]; then
        skip "$1" 'the clients install as root'
    elif [ "$path" = "$url" ] || [ ! -d "$path" ]; then
        skip "$1" "the release names $url, which is no file:// folder here"
    else
        return 0
    fi
    return 1
}

# served DIR COMMAND...: COMMAND, with DIR published at the release's
# address in place of the release, which is put back after it, or on exit.
# (A mount namespace would leave the release alone, but cannot be made
# private in a chroot.)
held=$path.held-by-release-test
restore() {
    [ ! -d "$held" ] || { rm -f "$path" && mv "$held" "$path"; }
}
trap 'restore; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM HUP
served() {
    served_dir=$1
    shift
    if [ "$served_dir" = "$dist" ]; then
        "$@"
        return
    fi
    mv "$path" "$held" && ln -s "$served_dir" "$path" || return
    "$@"
    served_status=$?
    restore
    return $served_status
}

# other_key: the file of a key that did not sign the release.
other_key() {
    GNUPGHOME=$work/other && export GNUPGHOME && mkdir -m 700 "$GNUPGHOME"
    gpg --batch --passphrase '' --quick-generate-key 'not the release key' ed25519 sign 1d 2>/dev/null
    gpg --batch --armor --export >"$work/other.asc"
    gpgconf --kill gpg-agent
    unset GNUPGHOME
    echo "$work/other.asc"
}

# digests FILE: the digest algorithm of each OpenPGP signature in FILE, as
# RFC 4880 numbers them (2 is SHA-1; 8, 9 and 10 SHA-256, -384 and -512).
digests() {
    # Of a clear-signed file, the signature block alone.
    if grep -q '^-----BEGIN PGP SIGNED MESSAGE-----$' "$1"; then
        sed -n '/^-----BEGIN PGP SIGNATURE-----$/,/^-----END PGP SIGNATURE-----$/p' "$1"
    else
        cat "$1"
    fi | gpg --batch --list-packets 2>/dev/null | sed -n 's/.*digest algo \([0-9]*\),.*/\1/p'
}

# apt_client SUITE: a fresh Debian SUITE installs, upgrades and removes matchscore
# from the release, and refuses the release changed after signing, or signed
# by another key.
apt_client() {
    client=$group
    serving "$client" && needs "$client" debootstrap || return
    root=$work/root
    if ! debootstrap --variant=minbase "$1" "$root" http://deb.debian.org/debian >"$work/log" 2>&1; then
        skip "$client" "debootstrap could not make a Debian $1 chroot: $(tail -n 1 "$work/log")"
        return
    fi
    # Only matchscore's repository, as published; and, as doc/install.md says,
    # its key in /etc/apt/keyrings and its sources file.
    rm -f "$root/etc/apt/sources.list" "$root"/etc/apt/sources.list.d/*
    publish "$dist"
    mkdir -p "$root/etc/apt/keyrings"
    cp "$root$path/$keyring" "$root/etc/apt/keyrings/"
    cp "$root$path/matchscore.sources" "$root/etc/apt/sources.list.d/"
    step "$client: apt-get update" in_root apt-get update
    step "$client: apt-get install" in_root apt-get install -y matchscore
    answers "$client: answer" chroot "$root" matchscore

    packages=dists/stable/main/binary-$(chroot "$root" dpkg --print-architecture)/Packages
    publish "$(tampered "$packages")"
    gzip -9n <"$root$path/$packages" >"$root$path/$packages.gz"
    refuses "$client: a Packages file changed after signing" 'Hash Sum mismatch|unexpected size' \
        in_root apt-get update
    publish "$dist"
    cp "$(other_key)" "$root/etc/apt/keyrings/$keyring"
    refuses "$client: another key than the signer's" 'NO_PUBKEY|Missing key' in_root apt-get update
    cp "$root$path/$keyring" "$root/etc/apt/keyrings/"

    publish "$later"
    step "$client: apt-get update to the later release" in_root apt-get update
    step "$client: apt-get upgrade" in_root apt-get upgrade -y
    same "$client: upgraded" "$(version_of "$later")" "$(chroot "$root" dpkg-query -W -f '${Version}' matchscore)"
    step "$client: apt-get remove" in_root apt-get remove -y matchscore
    [ ! -e "$root/usr/bin/matchscore" ] && pass || fail "$client: removed" '/usr/bin/matchscore is left'
}
# publish DIR: DIR published at the release's address inside the chroot,
# which apt then knows nothing of.
publish() {
    rm -rf "$root$path" "$root"/var/lib/apt/lists/*
    mkdir -p "$root$path"
    cp -a "$1/." "$root$path/"
}
in_root() {
    chroot "$root" env DEBIAN_FRONTEND=noninteractive "$@"
}

# rpm_root NAME ROOT: ROOT, for dnf or zypper, with the release key
# imported as doc/install.md imports it.
rpm_root() {
    mkdir -p "$2"
    step "$1: rpm --import" rpm --root "$2" --import "$dist/$keyring"
}

# The signed package a client of this machine installs.
rpm_file=rpm/matchscore-$version-1.$(uname -m).rpm

case $group in
sums)
    # SHA256SUMS lists every file of the release beside it that is the same
    # whoever signs, but the statements made of them, and is true of them; and its signature, checked as the
    # README says, is the release key's and holds only for those bytes.
    listed=$(sed 's/^[0-9a-f]*  //' "$dist/SHA256SUMS" | sort)
    files=$(cd "$dist" && find . -maxdepth 1 -type f \( -name "matchscore[-_]${version}[-_.]*" \
        ! -name "matchscore-$version.openvex.json*" ! -name "matchscore-$version.intoto.json*" \) -o \
        -name "$(metadata winget-identifier).*yaml" -o -name matchscore.json | sed 's|^\./||' | sort)
    same 'sums: the files listed' "$files" "$listed"
    step 'sums: sha256sum -c' sh -c 'cd "$1" && sha256sum --check --strict --quiet SHA256SUMS' sh "$dist"
    [ -z "${MATCHSCORE_SIGNING_KEY:-}" ] || same 'sums: the key' "$MATCHSCORE_SIGNING_KEY" "$fingerprint"
    export GNUPGHOME="$work/gnupg" && mkdir -m 700 "$GNUPGHOME"
    step 'sums: gpg --import' gpg --batch --import "$dist/$keyring"
    step 'sums: gpg --verify' gpg --batch --verify "$dist/SHA256SUMS.asc" "$dist/SHA256SUMS"
    changed=$(tampered SHA256SUMS)
    refuses 'sums: gpg --verify, a byte changed' 'BAD signature' gpg --batch --verify "$changed/SHA256SUMS.asc" "$changed/SHA256SUMS"
    ;;
signatures)
    # Every signature of the release is SHA-512, and each .rpm carries one
    # that rpm -K checks with the release key, and rpmlint finds nothing in it.
    for file in SHA256SUMS.asc dists/stable/InRelease dists/stable/Release.gpg \
        rpm/repodata/repomd.xml.asc $(cd "$dist" && find arch -type f -name '*.sig') \
        "matchscore-$version.openvex.json.asc" "matchscore-$version.intoto.json.asc"; do
        algorithms=$(digests "$dist/$file" | sort -u)
        weak=$(echo "$algorithms" | grep -vx 10)
        if [ -z "$algorithms" ]; then
            fail "signatures: $file" 'holds no signature'
        elif [ -n "$weak" ]; then
            fail "signatures: $file" "made with digest algorithm $(echo $weak)"
        else
            pass
        fi
    done
    # rpm and rpmlint, with the key known: Debian's rpm keeps its database
    # in ~/.rpmdb.
    HOME=$work && export HOME
    rpm --import "$dist/$keyring"
    rpmlint_config "$work/rpmlint.toml"
    for file in "$dist"/rpm/*.rpm; do
        checked=$(rpm --checksig -v "$file" 2>&1)
        if echo "$checked" | grep -qE 'Header V4 [A-Za-z]+/SHA512 Signature, key ID [0-9a-f]+: OK'; then
            pass
        else
            fail "signatures: ${file#"$dist"/}" "$checked"
        fi
        needs 'signatures: rpmlint' rpmlint &&
            step "signatures: rpmlint ${file#"$dist"/}" rpmlint --strict -c "$work/rpmlint.toml" "$file"
    done
    ;;
repositories)
    # The repositories hold the release's own packages: apt the very .deb
    # files, rpm the same packages with a signature added, pacman the
    # tarballs' own program, by PKGBUILDs that check the tarballs' sums.
    for packages in "$dist"/dists/stable/main/binary-*/Packages; do
        awk '/^Filename:/ { file = $2 } /^SHA256:/ { print $2 "  " substr(file, 3) }' "$packages"
    done | sort >"$work/apt"
    grep '\.deb$' "$dist/SHA256SUMS" | sort >"$work/debs"
    same 'repositories: apt' "$(cat "$work/debs")" "$(sort -u "$work/apt")"
    for file in "$dist"/*.rpm; do
        signed=$dist/rpm/${file##*/}
        query='%{SHA256HEADER} %{PAYLOADDIGEST}'
        same "repositories: ${signed#"$dist"/}" "$(rpm -qp --qf "$query" "$file")" \
            "$(rpm -qp --qf "$query" "$signed" 2>/dev/null)"
    done
    same 'repositories: rpm' "$(cd "$dist" && ls -- *.rpm)" "$(cd "$dist/rpm" && ls -- *.rpm)"
    pkgbuild=$dist/arch/PKGBUILD
    for architecture in $(sed -n 's/^source_\([^=]*\)=.*/\1/p' "$pkgbuild"); do
        tarball=$(sed -n "s|^source_$architecture=('.*/\(.*\)')$|\1|p" "$pkgbuild")
        same "repositories: the PKGBUILD's sum for $architecture" \
            "$(sed -n "s/^\([0-9a-f]*\)  $tarball$/\1/p" "$dist/SHA256SUMS")" \
            "$(sed -n "s/^sha256sums_$architecture=('\(.*\)')$/\1/p" "$pkgbuild")"
        package=$dist/arch/$architecture/matchscore-bin-$version-1-$architecture.pkg.tar.zst
        mkdir "$work/$architecture"
        tar -xzf "$dist/$tarball" -C "$work/$architecture"
        if bsdtar -xOf "$package" usr/bin/matchscore |
            cmp -s - "$work/$architecture/${tarball%.tar.gz}/bin/matchscore"; then
            pass
        else
            fail "repositories: ${package#"$dist"/}" "does not hold the program of $tarball"
        fi
    done
    ;;
statements)
    # The OpenVEX document and the provenance: each signed by the release key,
    # as gpgv checks it; each with the fields its format requires; the
    # provenance's subjects SHA256SUMS's files; the VEX answering every row
    # of doc/vex, for products and components of the release's SBOMs.
    vex=$dist/matchscore-$version.openvex.json provenance=$dist/matchscore-$version.intoto.json
    gpg --batch --dearmor <"$dist/$keyring" >"$work/keyring.gpg"
    for statement in "$vex" "$provenance"; do
        step "statements: gpgv ${statement##*/}" gpgv --keyring "$work/keyring.gpg" "$statement.asc" "$statement"
    done
    refuses 'statements: gpgv, a byte changed' 'BAD signature' \
        gpgv --keyring "$work/keyring.gpg" "$(tampered "${vex##*/}")/${vex##*/}.asc" "$work/tampered/${vex##*/}"
    same 'statements: provenance subjects' "$(sed 's/^\([0-9a-f]*\)  \(.*\)$/\2 \1/' "$dist/SHA256SUMS")" \
        "$(jq -r '.subject[] | "\(.name) \(.digest.sha256)"' "$provenance")"
    jq -e '._type == "https://in-toto.io/Statement/v1" and .predicateType == "https://slsa.dev/provenance/v1"
        and (.predicate.buildDefinition.buildType | test(":")) and .predicate.buildDefinition.externalParameters
        and (.predicate.runDetails.builder.id | test(":"))' "$provenance" >/dev/null && pass ||
        fail 'statements: provenance' 'lacks a field in-toto or SLSA provenance requires'
    jq -e '.["@context"] == "https://openvex.dev/ns/v0.2.0" and .["@id"] and .author and .timestamp and .version >= 1
        and all(.statements[]; .vulnerability.name and (.products | length > 0) and
          ((.status == "not_affected" and .justification and .impact_statement) or
           (.status == "affected" and .action_statement) or .status == "fixed" or .status == "under_investigation"))' \
        "$vex" >/dev/null && pass || fail 'statements: OpenVEX' 'lacks a field OpenVEX 0.2.0 requires'
    jq -r '.metadata.component.purl as $product | $product, "\($product) \(.components[].purl)"' "$dist"/*.cdx.json |
        sort >"$work/sboms"
    jq -r '.statements[].products[] | .["@id"], "\(.["@id"]) \((.subcomponents // [])[]["@id"])"' "$vex" | sort -u |
        comm -23 - "$work/sboms" >"$work/unknown"
    [ ! -s "$work/unknown" ] && pass || fail 'statements: VEX products' "not in the SBOMs: $(cat "$work/unknown")"
    same 'statements: VEX vulnerabilities' "$(for sbom in "$dist"/*.cdx.json; do
        "$source_dir/tools/vex-claims" --rows "$version" "$sbom"; done | awk '{ print $2 }' | sort -u)" \
        "$(jq -r '.statements[].vulnerability.name' "$vex" | sort)"
    # Every not_affected claim, of the binaries as published.
    step 'statements: VEX claims' "$source_dir/tools/vex" --check "$dist"
    ;;
windows)
    # winget's and Scoop's manifests name the release's own zip and MSI,
    # at its address, by their SHA-256, the program's path in the zip and
    # the MSI's codes; each file is signed with Authenticode, by the
    # certificate that MATCHSCORE_AUTHENTICODE_CERT names where it is set.
    name=matchscore-$version-windows-x86_64 id=$(metadata winget-identifier)
    if [ ! -f "$dist/$name.zip" ]; then
        inapplicable windows 'the release has no Windows target'
        report windows
    fi
    needs windows yq jq unzip msiinfo osslsigncode || report windows
    sha256() {
        sha256sum "$dist/$1" | cut -c1-64
    }
    msi_property() {
        msiinfo export "$dist/$name.msi" Property | tr -d '\r' | sed -n "s/^$1\t//p"
    }
    yq -s 'add' "$dist/$id.yaml" "$dist/$id.locale.en-US.yaml" "$dist/$id.installer.yaml" >"$work/winget.json" ||
        fail 'windows: winget' 'a manifest is not YAML'
    same 'windows: winget' "$id $version $id $version $id $version" \
        "$(yq -r '"\(.PackageIdentifier) \(.PackageVersion)"' "$dist/$id".*yaml | paste -sd ' ')"
    installer() {
        jq -r --arg type "$1" ".Installers[] | select(.InstallerType == \$type) | $2" "$work/winget.json"
    }
    same 'windows: winget zip' "$url/$name.zip $(sha256 "$name.zip")" "$(installer zip '"\(.InstallerUrl) \(.InstallerSha256)"')"
    same 'windows: winget MSI' "$url/$name.msi $(sha256 "$name.msi") $(msi_property ProductCode) $(msi_property UpgradeCode)" \
        "$(installer msi '"\(.InstallerUrl) \(.InstallerSha256) \(.ProductCode) \(.AppsAndFeaturesEntries[0].UpgradeCode)"')"
    same 'windows: Scoop' "$version $url/$name.zip $(sha256 "$name.zip")" \
        "$(jq -r '"\(.version) \(.architecture."64bit" | "\(.url) \(.hash)")"' "$dist/matchscore.json")"
    # The program where each says it is in the zip.
    for program in "$(installer zip '.NestedInstallerFiles[0].RelativeFilePath' | tr '\\' /)" \
        "$(jq -r '"\(.architecture."64bit".extract_dir)/\(.bin)"' "$dist/matchscore.json")"; do
        unzip -Z1 "$dist/$name.zip" | grep -qxF "$program" && pass || fail 'windows: the zip' "holds no $program"
    done
    if [ -n "${MATCHSCORE_AUTHENTICODE_CERT:-}" ]; then
        unzip -q "$dist/$name.zip" "$name/matchscore.exe" -d "$work"
        for file in "$work/$name/matchscore.exe" "$dist/$name.msi"; do
            step "windows: osslsigncode verify ${file##*/}" \
                osslsigncode verify -CAfile "$MATCHSCORE_AUTHENTICODE_CERT" "$file"
        done
    fi
    ;;
rebuild)
    # The source tarball alone, unpacked where there is no git, packs each
    # target of the release again into its very bytes.
    tar -xzf "$dist/matchscore-$version.tar.gz" -C "$work"
    rebuilt=$work/matchscore-$version
    # The test tools npm installed here, which no source tarball holds.
    [ ! -d "$source_dir/tests/node_modules" ] || ln -s "$source_dir/tests/node_modules" "$rebuilt/tests/node_modules"
    for target in $(released_targets); do
        step "rebuild: $target" sh -c 'cd "$1" && umask 022 &&
            MATCHSCORE_TARGET="$2" cmake --workflow --preset target' sh "$rebuilt" "$target"
    done
    for package in $(sed -n 's/^[0-9a-f]*  //p' "$dist/SHA256SUMS"); do
        case $package in "matchscore-$version.tar.gz" | *.yaml | matchscore.json) continue ;; esac
        case $package in *windows*) if [ -n "${MATCHSCORE_AUTHENTICODE_TIMESTAMP:-}" ]; then
            inapplicable "rebuild: $package" 'its signatures carry a countersignature, made once'
            continue
        fi ;; esac
        if cmp -s "$dist/$package" "$rebuilt"/build/target-*/"$package"; then
            pass
        else
            fail "rebuild: $package" 'differs, packed again from the source tarball'
        fi
    done
    ;;
apt-bookworm)
    apt_client bookworm
    ;;
apt-trixie)
    # Debian 13's apt checks signatures with sqv, which refuses SHA-1.
    apt_client trixie
    ;;
dnf)
    serving dnf && needs dnf dnf || report dnf
    # Any release version: the repository names none.
    dnf_in() {
        echo dnf --installroot "$1" --releasever 1 --assumeyes
    }
    for root in "$work/dnf" "$work/refusing"; do
        rpm_root dnf "$root"
        mkdir -p "$root/etc/yum.repos.d"
        cp "$dist/rpm/matchscore.repo" "$root/etc/yum.repos.d/"
    done
    step 'dnf: install' served "$dist" $(dnf_in "$work/dnf") install matchscore
    answers 'dnf: answer' chroot "$work/dnf" /usr/bin/matchscore
    refuses 'dnf: a package changed after signing' 'incorrect checksum|GPG check FAILED' \
        served "$(tampered "$rpm_file")" $(dnf_in "$work/refusing") install matchscore
    # --refresh: dnf reads the repository again only once its copy expires.
    step 'dnf: upgrade' served "$later" $(dnf_in "$work/dnf") --refresh upgrade
    same 'dnf: upgraded' "$(version_of "$later")" "$(rpm --root "$work/dnf" -q --qf '%{VERSION}' matchscore)"
    ;;
zypper)
    serving zypper && needs zypper zypper || report zypper
    for root in "$work/zypper" "$work/refusing"; do
        rpm_root zypper "$root"
        step 'zypper: addrepo' \
            served "$dist" zypper --root "$root" --non-interactive addrepo "$path/rpm/matchscore.repo"
    done
    step 'zypper: install' served "$dist" zypper --root "$work/zypper" --non-interactive install matchscore
    answers 'zypper: answer' chroot "$work/zypper" /usr/bin/matchscore
    refuses 'zypper: a package changed after signing' 'Signature verification failed|digest: BAD' \
        served "$(tampered "$rpm_file")" zypper --root "$work/refusing" --non-interactive install matchscore
    # zypper reads the repository again only after a while, or when told.
    step 'zypper: refresh' served "$later" zypper --root "$work/zypper" --non-interactive refresh
    step 'zypper: update' served "$later" zypper --root "$work/zypper" --non-interactive update
    same 'zypper: updated' "$(version_of "$later")" "$(rpm --root "$work/zypper" -q --qf '%{VERSION}' matchscore)"
    ;;
pacman)
    serving pacman && needs pacman pacman pacman-key || report pacman
    # A root of pacman's own, which needs matchscore's signatures on the
    # database and the package, and trusts its key as the README says.
    pacman_in() {
        echo pacman --root "$1" --config "$1/etc/pacman.conf" --dbpath "$1/var/lib/pacman" \
            --gpgdir "$1/etc/pacman.d/gnupg" --cachedir "$1/var/cache/pacman/pkg" --noconfirm
    }
    for root in "$work/pacman" "$work/refusing"; do
        mkdir -p "$root/var/lib/pacman" "$root/etc/pacman.d"
        { printf '[options]\nArchitecture = auto\nSigLevel = Required\n\n' && cat "$dist/arch/pacman.conf"; } \
            >"$root/etc/pacman.conf"
        step 'pacman: pacman-key --init' pacman-key --gpgdir "$root/etc/pacman.d/gnupg" --init
        step 'pacman: pacman-key --add' pacman-key --gpgdir "$root/etc/pacman.d/gnupg" --add "$dist/$keyring"
        step 'pacman: pacman-key --lsign-key' \
            pacman-key --gpgdir "$root/etc/pacman.d/gnupg" --lsign-key "$fingerprint"
    done
    step 'pacman: -Syu matchscore-bin' served "$dist" $(pacman_in "$work/pacman") -Syu matchscore-bin
    answers 'pacman: answer' chroot "$work/pacman" /usr/bin/matchscore
    architecture=$(uname -m)
    refuses 'pacman: a package changed after signing' 'PGP signature' \
        served "$(tampered "arch/$architecture/matchscore-bin-$version-1-$architecture.pkg.tar.zst")" \
        $(pacman_in "$work/refusing") -Syu matchscore-bin
    step 'pacman: -Syu' served "$later" $(pacman_in "$work/pacman") -Syu
    same 'pacman: upgraded' "matchscore-bin $(version_of "$later")-1" "$($(pacman_in "$work/pacman") -Q matchscore-bin)"
    ;;
makepkg)
    # The PKGBUILD, as an AUR user runs it: makepkg downloads the tarball
    # from the release's address and checks its sum. makepkg refuses root,
    # so it runs as nobody, allowed to read the release wherever it lies
    # here, as a web server would serve it from anywhere.
    serving makepkg && needs makepkg makepkg curl bsdtar fakeroot setpriv || report makepkg
    build=$work/makepkg
    mkdir "$build"
    cp "$dist/arch/PKGBUILD" "$build/"
    chown -R nobody: "$build"
    step 'makepkg: builds the PKGBUILD' setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups \
        --inh-caps=+dac_read_search --ambient-caps=+dac_read_search \
        env HOME="$build" sh -c 'cd "$HOME" && makepkg --nodeps --noconfirm --noprogressbar'
    built=$(cd "$build" && ls matchscore-bin-"$version"-1-*.pkg.tar.* 2>/dev/null)
    [ -n "$built" ] && pass || fail 'makepkg: package' "makepkg made no package: $(tail -n 5 "$work/log")"
    ;;
*)
    echo "release.sh: unknown group: $group" >&2
    exit 2
    ;;
esac
report "$group"
