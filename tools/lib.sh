# shellcheck shell=bash
# Sourced by the release's scripts, from the top of the tree: preflight, with
# which each checks before it starts that it has its Debian packages, and
# the key a release is signed with and the address it is published at,
# which the releaser names; the readers of the version and the metadata;
# and sign.
#
#   MATCHSCORE_SIGNING_KEY  the fingerprint of the OpenPGP key, in the
#                           releaser's keyring (GNUPGHOME, as gpg reads it)
#   MATCHSCORE_RELEASE_URL  where dist/ will be published as it is, by any
#                           static web server (https://, http:// or file://)
#   MATCHSCORE_CONTACT      who the packages name as their maintainer, the
#                           SBOMs as their supplier and SECURITY.md as the
#                           address for reports: Name <address>
#   MATCHSCORE_AUTHENTICODE_CERT, MATCHSCORE_AUTHENTICODE_KEY
#                           for a release of Windows, the code-signing
#                           certificate that signs the program and the MSI:
#                           the PEM file of its chain, from it up to its
#                           root, and its private key, an unencrypted PEM
#                           file or, on a token or in an HSM, a PKCS#11 URI
#                           (pkcs11:...;pin-value=PIN) that the module
#                           MATCHSCORE_AUTHENTICODE_PKCS11_MODULE reaches
#   MATCHSCORE_AUTHENTICODE_TIMESTAMP
#                           optional: the address of an RFC 3161
#                           time-stamping authority that countersigns them
#
# sign, below, makes every signature with SHA-512, as SECURITY.md promises,
# whatever the releaser's gpg.conf prefers.

# A fingerprint as gpg shows it to people, in groups, is the same one.
if [ -n "${MATCHSCORE_SIGNING_KEY:-}" ]; then
    MATCHSCORE_SIGNING_KEY=${MATCHSCORE_SIGNING_KEY// /}
    export MATCHSCORE_SIGNING_KEY=${MATCHSCORE_SIGNING_KEY^^}
fi

# The file of the public key, as a user installs it.
keyring=matchscore-archive-keyring.asc
# A key that expires sooner after a release leaves users too little time to
# learn of its successor (see SECURITY.md, The release key).
key_margin_days=90

# signing_problems: prints what is wrong with the key, the contact and the
# address, one problem a line, with how to mend it; prints nothing when they
# will do.
signing_problems() {
    local key=${MATCHSCORE_SIGNING_KEY:-} url=${MATCHSCORE_RELEASE_URL:-} keys expires
    if [ -z "$key" ]; then
        echo "MATCHSCORE_SIGNING_KEY is not set: set it to the fingerprint of the release key" \
            "(gpg --list-secret-keys shows it); for a trial, make a throwaway key:" \
            "gpg --batch --passphrase '' --quick-generate-key 'matchscore trial' rsa4096 sign 1y"
    elif ! [[ $key =~ ^[0-9A-F]{40}$ ]]; then
        echo "MATCHSCORE_SIGNING_KEY is '$key', not a key's whole fingerprint (40 hexadecimal digits)"
    elif ! keys=$(gpg --batch --with-colons --list-secret-keys "$key" 2>/dev/null); then
        echo "MATCHSCORE_SIGNING_KEY names $key, which has no secret key in ${GNUPGHOME:-~/.gnupg}"
    else
        # With --with-colons, a key's validity is field 2, its expiry field 7
        # and what it can do field 12; gpg signs with the key, or subkey, that
        # can sign and is still valid, and the latest to expire is what counts.
        expires=$(awk -F: '($1 == "sec" || $1 == "ssb") && $12 ~ /s/ && $2 !~ /[edr]/ {
            if ($7 == "") never = 1; else if ($7 > latest) latest = $7 }
            END { print never ? "never" : latest }' <<<"$keys")
        if [ -z "$expires" ]; then
            echo "the key $key has no key that can sign and has not expired or been revoked"
        elif [ "$expires" != never ] && [ "$expires" -lt $(($(date +%s) + key_margin_days * 86400)) ]; then
            echo "the key $key can sign only until $(date -u -d "@$expires" +%F), within" \
                "$key_margin_days days: extend it first (gpg --quick-set-expire $key 2y)"
        fi
    fi
    case ${MATCHSCORE_CONTACT:-} in
    '') echo "MATCHSCORE_CONTACT is not set: set it to the address that the packages name and" \
        "that takes reports of vulnerabilities, as Name <address>" ;;
    *' <'*@*'>') ;;
    *) echo "MATCHSCORE_CONTACT is '$MATCHSCORE_CONTACT', not Name <address>" ;;
    esac
    case $url in
    '') echo "MATCHSCORE_RELEASE_URL is not set: set it to where dist/ will be published," \
        "such as https://example.org/matchscore (file://\$PWD/dist to try it here)" ;;
    https://?* | http://?* | file:///*) ;;
    *) echo "MATCHSCORE_RELEASE_URL is '$url', which is not an https://, http:// or file:/// address" ;;
    esac
}

# authenticode_problems: prints what is wrong with the certificate and the
# key that sign the Windows program and MSI, as signing_problems does.
authenticode_problems() {
    local cert=${MATCHSCORE_AUTHENTICODE_CERT:-} key=${MATCHSCORE_AUTHENTICODE_KEY:-}
    if [ -z "$cert" ] || [ -z "$key" ]; then
        echo "MATCHSCORE_AUTHENTICODE_CERT and MATCHSCORE_AUTHENTICODE_KEY are not both set: set them to" \
            "the code-signing certificate's chain, a PEM file, and its private key, a PEM file or a PKCS#11" \
            "URI (RELEASING.md); for a trial, make a throwaway pair: packaging/throwaway-authenticode DIR," \
            "then DIR/cert.pem and DIR/key.pem"
        return
    elif [ ! -r "$cert" ]; then
        echo "MATCHSCORE_AUTHENTICODE_CERT ($cert) is no file to read"
        return
    elif [[ $key == pkcs11:* ]]; then
        [ -r "${MATCHSCORE_AUTHENTICODE_PKCS11_MODULE:-}" ] ||
            echo "MATCHSCORE_AUTHENTICODE_KEY is a PKCS#11 URI: set MATCHSCORE_AUTHENTICODE_PKCS11_MODULE to" \
                "the file of the token's module"
        [ -z "$(tools/install-commands libengine-pkcs11-openssl)" ] ||
            echo "osslsigncode reaches a token through OpenSSL's pkcs11 engine: apt-get install libengine-pkcs11-openssl"
    elif [ ! -r "$key" ]; then
        echo "MATCHSCORE_AUTHENTICODE_KEY ($key) is no file to read"
    elif [ "$(openssl x509 -noout -pubkey -in "$cert" 2>&1)" != "$(openssl pkey -pubout -passin pass: -in "$key" 2>&1)" ]; then
        echo "MATCHSCORE_AUTHENTICODE_KEY is not the unencrypted private key of the first certificate of" \
            "MATCHSCORE_AUTHENTICODE_CERT"
    fi
    if ! openssl x509 -noout -ext extendedKeyUsage -in "$cert" 2>/dev/null | grep -q 'Code Signing'; then
        echo "the certificate of MATCHSCORE_AUTHENTICODE_CERT is not for code signing"
    elif ! openssl x509 -noout -checkend 0 -in "$cert" >/dev/null; then
        echo "the certificate of MATCHSCORE_AUTHENTICODE_CERT has expired"
    fi
}

# preflight WHO PACKAGE...: unless every PACKAGE is installed and the key,
# the contact and the address will do, and, where windows_released is set,
# the Authenticode certificate and key, says all that is missing, as WHO,
# and exits.
preflight() {
    local who=$1 commands problems
    shift
    commands=$(tools/install-commands "$@")
    problems=$(signing_problems; [ -z "${windows_released:-}" ] || authenticode_problems)
    [ -n "$commands$problems" ] || return 0
    {
        echo "$who: cannot start:"
        if [ -n "$commands" ]; then
            echo "  Debian packages are missing; install them, as root, with:"
            sed 's/^/    /' <<<"$commands"
        fi
        [ -z "$problems" ] || sed 's/^/  /' <<<"$problems"
    } >&2
    exit 1
}
# The build reads the certificate and the key from its own folder.
for variable in MATCHSCORE_AUTHENTICODE_CERT MATCHSCORE_AUTHENTICODE_KEY; do
    [ ! -f "${!variable:-}" ] || export "$variable=$(realpath "${!variable}")"
done

# metadata FIELD: a one-line field of cmake/metadata.
metadata() {
    sed -n "s/^$1: //p" cmake/metadata
}

# project_version: the version of matchscore, as CMakeLists.txt gives it.
project_version() {
    sed -n 's/^project(matchscore VERSION \([^ ]*\) .*/\1/p' CMakeLists.txt
}

# released_targets DIST: the targets of the release in DIST, as its SBOMs
# name them.
released_targets() {
    find "$1" -maxdepth 1 -name 'matchscore-*.cdx.json' | sed 's/.*matchscore-[^-]*-\(.*\)\.cdx\.json$/\1/' | sort
}

# release_url: the address, without a trailing slash.
release_url() {
    echo "${MATCHSCORE_RELEASE_URL%/}"
}

# sign FILE OPTION...: FILE signed with the release key, as the options
# ask (--detach-sign, --clearsign; --armor), into --output.
sign() {
    local file=$1
    shift
    gpg --batch --yes --local-user "$MATCHSCORE_SIGNING_KEY" --digest-algo SHA512 "$@" "$file"
}
