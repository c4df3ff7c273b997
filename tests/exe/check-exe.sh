#!/usr/bin/env bash
# The shipped executable imports only the four system DLLs and stays small.
# Usage: check-exe.sh OBJDUMP EXE MAX_BYTES
set -u
objdump=$1 exe=$2 max_bytes=$3

dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:lower:]' '[:upper:]' | sort)
allowed="GDI32.DLL KERNEL32.DLL USER32.DLL WINMM.DLL"
status=0
for dll in $dlls; do
    case " $allowed " in
    *" $dll "*) ;;
    *) echo "unexpected import: $dll (allowed: $allowed)"; status=1 ;;
    esac
done
[ -n "$dlls" ] || { echo "no imports read from $exe"; status=1; }

size=$(stat -c %s "$exe")
if [ "$size" -gt "$max_bytes" ]; then
    echo "$exe is $size bytes, more than $max_bytes"
    status=1
fi
"$objdump" -h "$exe" | grep -qE '^\s+[0-9]+ \.rsrc' && { echo "$exe carries resources"; status=1; }
echo "imports: $(echo $dlls); size: $size bytes"
exit $status
