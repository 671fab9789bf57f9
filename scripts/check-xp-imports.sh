#!/usr/bin/env bash
# Checks that a 32-bit program starts on Windows XP SP3: every DLL it imports ships with XP, every
# function it takes from KERNEL32, USER32, COMCTL32, GDI32 or ADVAPI32 is one that MinGW-w64's headers
# declare for XP, what it takes from DINPUT8 is among the exports of XP SP3's dinput8.dll (a generated file that takes each one's address must compile with
# _WIN32_WINNT=0x0501), and its header asks for no newer system than 5.1.
# The build names its own objdump and C compiler, so the check uses the toolchain that built PROGRAM.
# Usage: check-xp-imports.sh PROGRAM.exe OBJDUMP C_COMPILER
set -euo pipefail
exe=$1 objdump=$2 compiler=$3
export LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

"$objdump" -p "$exe" >"$work/headers"
# An import is "VMA HINT NAME" in binutils 2.40 (Debian 12), "VMA <none> HINT NAME" in 2.44 (13).
awk '/DLL Name:/ {dll = toupper($3)}
     dll != "" && $1 ~ /^[0-9a-f]+$/ &&
         ((NF == 3 && $2 ~ /^[0-9]+$/) || (NF == 4 && $2 == "<none>" && $3 ~ /^[0-9a-f]+$/)) {print dll, $NF}' \
    "$work/headers" >"$work/imports"
[ -s "$work/imports" ] || { echo "$exe: no imports found" >&2; exit 1; }

xp_dlls=" KERNEL32.DLL USER32.DLL GDI32.DLL COMCTL32.DLL MSVCRT.DLL ADVAPI32.DLL SHELL32.DLL OLE32.DLL DINPUT8.DLL "
xp_dinput8=" DirectInput8Create DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer "
for dll in $(awk '{print $1}' "$work/imports" | sort -u); do
    if [[ $xp_dlls != *" $dll "* ]]; then
        echo "$exe imports $dll, which Windows XP does not ship" >&2
        failed=1
    fi
done

for name in $(awk '$1 == "DINPUT8.DLL" {print $2}' "$work/imports"); do
    if [[ $xp_dinput8 != *" $name "* ]]; then
        echo "$exe imports DINPUT8.DLL!$name, which Windows XP does not have" >&2
        failed=1
    fi
done

for field in OSystemVersion SubsystemVersion; do
    major=$(awk -v f="Major$field" '$1 == f {print $2}' "$work/headers")
    minor=$(awk -v f="Minor$field" '$1 == f {print $2}' "$work/headers")
    if [ $((major * 100 + minor)) -gt 501 ]; then
        echo "$exe asks for Windows $major.$minor in its header ($field); XP is 5.1" >&2
        failed=1
    fi
done

{
    echo '#define _WIN32_WINNT 0x0501'
    echo '#define WINVER 0x0501'
    echo '#include <windows.h>'
    echo '#include <commctrl.h>'
    echo 'const void* const imported[] = {'
    awk '$1 ~ /^(KERNEL32|USER32|COMCTL32|GDI32|ADVAPI32)\.DLL$/ {print "    (const void*)&" $2 ","}' "$work/imports"
    echo '};'
} >"$work/probe.c"
if ! "$compiler" -c -o "$work/probe.o" "$work/probe.c" 2>"$work/errors"; then
    names=$(grep -o "'[A-Za-z0-9_]*' undeclared" "$work/errors" | cut -d"'" -f2 | sort -u || true)
    if [ -z "$names" ]; then
        cat "$work/errors" >&2
    fi
    for name in $names; do
        echo "$exe imports $(awk -v n="$name" '$2 == n {print $1; exit}' "$work/imports")!$name, which Windows XP does not have" >&2
    done
    failed=1
fi

if [ $failed -ne 0 ]; then
    exit 1
fi
echo "$exe: $(wc -l <"$work/imports") imports from $(awk '{print $1}' "$work/imports" | sort -u | tr '\n' ' ')- all in Windows XP SP3"
