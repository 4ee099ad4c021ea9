#!/bin/sh
# The shipped exe imports only DLLs that every Windows system has: no C or C++ runtime DLL, no
# third-party library.
exe="$1"
# comctl32 and comdlg32 are loaded at run time, after the library search is restricted: as imports
# their dependencies would be looked for in the exe's own folder too. shell32, ole32 and oleaut32
# are loaded at run time as well: imported, they would cost every start about 20 ms under Wine.
allowed="ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll USER32.dll"
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$imports" ] || { echo "no import table found in $exe"; exit 1; }
status=0
for dll in $imports; do
    found=0
    for ok in $allowed; do
        [ "$(echo "$dll" | tr a-z A-Z)" = "$(echo "$ok" | tr a-z A-Z)" ] && found=1
    done
    if [ $found -eq 1 ]; then echo "imports $dll"; else echo "imports $dll: not a system DLL"; status=1; fi
done
exit $status
