#!/bin/sh
# Usage: check_exports.sh OBJDUMP MODULE
# Fails unless MODULE exports exactly CreatePlugInstance and, for a DLL, imports only from
# libraries that every Windows installation ships.
set -eu
objdump=$1
module=$2
case "$module" in
*.dll)
    exports=$("$objdump" -p "$module" | awk '/\[Ordinal\/Name Pointer\] Table/{t=1;next} t&&/^[ \t]*\[/{print $NF;next} t{t=0}')
    imports=$("$objdump" -p "$module" | awk '/DLL Name:/{print tolower($3)}' | sort -u)
    for dll in $imports; do
        case "$dll" in
        kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|comdlg32.dll|shell32.dll|shlwapi.dll|ws2_32.dll|ole32.dll|msvcrt.dll|api-ms-win-*) ;;
        *) echo "unexpected DLL dependency: $dll"; exit 1 ;;
        esac
    done
    ;;
*)
    exports=$("$objdump" -T "$module" | awk '$2 ~ /g/ && $4 != "*UND*" && $NF != "Base" {print $NF}' | grep -v '^$' || true)
    ;;
esac
if [ "$exports" != "CreatePlugInstance" ]; then
    echo "exports of $module:"; echo "$exports"
    exit 1
fi
echo "$module exports only CreatePlugInstance"
