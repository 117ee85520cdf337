# shellcheck shell=sh
# Sourced by the tests: what a program's headers, and its symbols where it
# still has them, show of how it was linked, in the words configure uses.
# The facts readelf, nm and objdump name the build's own, which know the
# target's machine.
#
# properties FILE: prints, one a line and sorted, machine=M (the last word
# of readelf's Machine line, or the PE file format), libc=L and link=K as
# configure's link summary names them, and which FILE has of pie static-pie
# relro bind-now nx-stack pac aslr high-entropy dep stack-protector. A stripped
# ELF file shows neither its C library nor its stack protector.
properties() {
    symbols=$("$nm" "$1" 2>/dev/null)
    {
        if [ "$(head -c 2 "$1")" = MZ ]; then
            headers=$("$objdump" -p "$1")
            echo "machine=$(echo "$headers" | sed -n 's/.*file format //p')"
            dlls=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr A-Z a-z)
            case $dlls in *msvcrt.dll*) echo libc=msvcrt ;; *ucrtbase.dll* | *api-ms-win-crt-*) echo libc=ucrt ;; esac
            # MinGW-w64's own DLLs (libgcc, libstdc++, libssp, winpthread).
            if echo "$dlls" | grep -q '^lib'; then
                echo 'link=dynamically linked'
            else
                echo 'link=with the rest linked statically'
            fi
            for flag in DYNAMIC_BASE=aslr HIGH_ENTROPY_VA=high-entropy NX_COMPAT=dep; do
                echo "$headers" | grep -qx "[[:space:]]*${flag%=*}" && echo "${flag#*=}"
            done
        else
            headers=$("$readelf" -hlWd "$1")
            echo "machine=$(echo "$headers" | awk '$1 == "Machine:" { print $NF }')"
            echo "$headers" | grep -q 'NEEDED.*libc\.so' && echo libc=glibc
            echo "$headers" | grep -q 'Type: *DYN' && echo pie
            if echo "$headers" | grep -q INTERP; then
                echo 'link=dynamically linked'
            elif echo "$headers" | grep -q 'Type: *DYN'; then
                printf '%s\n' 'link=as a static PIE' static-pie
            else
                echo 'link=statically linked'
            fi
            echo "$headers" | grep -q GNU_RELRO && echo relro
            echo "$headers" | grep -q BIND_NOW && echo bind-now
            echo "$headers" | awk '$1 == "GNU_STACK" && $7 !~ /E/ { found = 1 } END { exit !found }' &&
                echo nx-stack
            case $headers in
            *AArch64*) "$objdump" -d "$1" | grep -qw paciasp && echo pac ;;
            esac
            echo "$symbols" | grep -q ' __libc_setup_tls$' && echo libc=glibc
            echo "$symbols" | grep -q ' __init_libc$' && echo libc=musl
        fi
        echo "$symbols" | grep -qE ' __stack_chk_fail(@.*)?$' && echo stack-protector
    } | sort -u
}
