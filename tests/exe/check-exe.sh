#!/usr/bin/env bash
# An executable built without a C runtime is an ordinary hardened Windows image: ASLR with
# high-entropy addresses and NX, relocations that are really there and point into the image,
# no section both writable and executable, import tables where the loader looks for them, the
# alignments Windows asks of an image, imports from KnownDLLs only (Windows never looks for
# those beside the exe, and no C runtime DLL is one), code for x64, no TLS, no load
# configuration, no resources, no time stamp, and at most MAX_BYTES. The same rules for Windows
# without GNU tools: check-exe.ps1.
# Usage: check-exe.sh OBJDUMP EXE MAX_BYTES
set -u
objdump=$1 exe=$2 max_bytes=$3
status=0
fail() {
    echo "$(basename "$exe"): $*"
    status=1
}

headers=$("$objdump" -p "$exe") && table=$("$objdump" -h "$exe") || {
    echo "$objdump cannot read $exe"
    exit 1
}

# The value after a header field's name, e.g. "SectionAlignment 00001000".
field() { awk -v name="$1" '$1 == name { print $2; exit }' <<<"$headers"; }
# The address and size of a data directory entry, e.g. "1" for the Import Directory.
directory() { awk -v entry="$1" '$1 == "Entry" && $2 == entry { print $3, $4; exit }' <<<"$headers"; }
# Sections as "name vma size file-offset flags...", one a line.
sections=$(awk '$1 ~ /^[0-9]+$/ && NF == 7 { s = $2 " " $4 " " $3 " " $6; next }
                s != "" { gsub(/,/, ""); print s, $0; s = "" }' <<<"$table")
# Eight bytes of the file at an address relative to the image base, as an unsigned number.
read_u64() {
    local rva=$1 name vma size offset flags
    while read -r name vma size offset flags; do
        vma=$((16#$vma - image_base)) size=$((16#$size))
        if ((rva >= vma && rva + 8 <= vma + size)) && [[ " $flags " == *" CONTENTS "* ]]; then
            od -An -t u8 --endian=little -j $((16#$offset + rva - vma)) -N 8 "$exe" | tr -d ' '
            return 0
        fi
    done <<<"$sections"
    echo "none"
}
hex() { if [[ $1 == none ]]; then echo none; else printf '0x%x' "$1"; fi; }

[[ $(field Magic) == 020b ]] || fail "not a PE32+ image (Magic $(field Magic))"
image_base=$((16#$(field ImageBase)))
image_size=$((16#$(field SizeOfImage)))

# Windows randomises the image only if it can move it: the flags, and relocations to apply.
characteristics=$(field DllCharacteristics)
[[ $characteristics == 00000160 ]] ||
    fail "DllCharacteristics is 0x$characteristics, not 0x160 (HIGH_ENTROPY_VA, DYNAMIC_BASE, NX_COMPAT)"
grep -q "relocations stripped" <<<"$headers" && fail "marked as having its relocations stripped"
read -r reloc_rva reloc_size <<<"$(directory 5)"
[[ -n ${reloc_size:-} && $((16#$reloc_size)) -gt 0 ]] || fail "the Base Relocation Directory is empty"
fixups=0
while read -r type rva; do
    case $type in
    "") ;;
    DIR64)
        value=$(read_u64 $((16#$rva)))
        if [[ $value == none ]] || ((value < image_base || value >= image_base + image_size)); then
            fail "the fixup at 0x$rva holds $(hex "$value"), not an address in the image"
        fi
        fixups=$((fixups + 1))
        ;;
    ABSOLUTE) ;; # padding to the end of a block
    *) fail "fixup of type $type at 0x$rva" ;;
    esac
done <<<"$(sed -n 's/^[[:space:]]*reloc .*\[\([0-9a-f]*\)\] \([A-Z0-9_]*\)$/\2 \1/p' <<<"$headers")"
((fixups > 0)) || fail "no address to fix up in the relocations"

[[ $(field SectionAlignment) == 00001000 ]] || fail "SectionAlignment is 0x$(field SectionAlignment), not 0x1000"
[[ $(field FileAlignment) == 00000200 ]] || fail "FileAlignment is 0x$(field FileAlignment), not 0x200"
while read -r name vma size offset flags; do
    if [[ " $flags " == *" CODE "* && " $flags " != *" READONLY "* ]]; then
        fail "section $name is both writable and executable"
    fi
    [[ $name == .rsrc ]] && fail "carries resources"
done <<<"$sections"
read -r resource_rva resource_size <<<"$(directory 2)"
[[ ${resource_size:-0} == 00000000 ]] || fail "the Resource Directory is not empty"
# Code the loader would run before the entry point, or checks a C runtime sets up.
read -r tls_rva tls_size <<<"$(directory 9)"
[[ ${tls_size:-0} == 00000000 ]] || fail "has a TLS directory"
read -r config_rva config_size <<<"$(directory a)"
[[ ${config_size:-0} == 00000000 ]] || fail "has a Load Configuration directory"

# The imports: which DLLs, and the two tables the loader reads. Each DLL's descriptor names
# its lookup table and its slice of the Import Address Table; before the loader fills it in,
# the slice holds what the lookup table holds, and it lies inside the IAT directory entry.
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr '[:lower:]' '[:upper:]' | sort)
allowed="GDI32.DLL KERNEL32.DLL USER32.DLL"
for dll in $dlls; do
    case " $allowed " in
    *" $dll "*) ;;
    *) fail "unexpected import: $dll (allowed: $allowed)" ;;
    esac
done
[[ -n $dlls ]] || fail "no imports read"
grep -q "^There is an import table in " <<<"$headers" ||
    fail "the Import Directory points at no import table"
ndlls=$(wc -w <<<"$dlls")
read -r import_rva import_size <<<"$(directory 1)"
((16#${import_size:-0} == (ndlls + 1) * 20)) ||
    fail "the Import Directory is ${import_size:-missing} bytes, not $(((ndlls + 1) * 20)) for $ndlls DLLs"
read -r iat_rva iat_size <<<"$(directory c)"
iat_start=$((16#${iat_rva:-0})) iat_end=$((16#${iat_rva:-0} + 16#${iat_size:-0}))
# Descriptor lines: address, lookup table, time stamp, forwarder chain, name, address table;
# then, under a "vma:" heading, the DLL's functions one a line (their columns differ between
# binutils versions), counted per DLL.
descriptors=$(awk 'length($1) == 8 && $1 ~ /^[0-9a-f]+$/ && NF == 6 {
                       if (d) print d, n
                       d = $2 == "00000000" ? "" : $2 " " $6; n = 0; listing = 0; next }
                   $1 == "vma:" { listing = 1; next }
                   NF == 0 { listing = 0; next }
                   d && listing { n++ }
                   END { if (d) print d, n }' <<<"$headers")
functions=0
while read -r lookup thunk count; do
    [[ -n $count ]] || continue
    functions=$((functions + count))
    first=$((16#$thunk)) last=$((16#$thunk + count * 8))
    ((iat_start <= first && last + 8 <= iat_end)) ||
        fail "the address table at 0x$thunk lies outside the IAT directory entry"
    # Entry COUNT is the zero that ends both tables.
    for ((i = 0; i <= count; i++)); do
        looked_up=$(read_u64 $((16#$lookup + i * 8))) slot=$(read_u64 $((first + i * 8)))
        if [[ $looked_up == none || $slot != "$looked_up" ]] || (((i == count) != (looked_up == 0))); then
            fail "entry $i of the address table at 0x$thunk is $(hex "$slot"), of its lookup table" \
                "at 0x$lookup $(hex "$looked_up")"
        fi
    done
done <<<"$descriptors"
((functions > 0 && iat_end - iat_start == (functions + ndlls) * 8)) ||
    fail "the IAT directory entry is ${iat_size:-missing} bytes, not $(((functions + ndlls) * 8)) for $functions functions"

pe_offset=$(od -An -t u4 --endian=little -j 60 -N 4 "$exe" | tr -d ' ')
machine=$(od -An -t u2 --endian=little -j $((pe_offset + 4)) -N 2 "$exe" | tr -d ' ')
((machine == 0x8664)) || fail "Machine is $(hex "$machine"), not 0x8664 (x64)"
# Reproducible: ld writes the link time into the file header unless told not to.
timestamp=$(od -An -t u4 --endian=little -j $((pe_offset + 8)) -N 4 "$exe" | tr -d ' ')
[[ $timestamp == 0 ]] || fail "carries a link time stamp ($timestamp)"

size=$(stat -c %s "$exe")
((size <= max_bytes)) || fail "$size bytes, more than $max_bytes"
echo "$(basename "$exe"): $size bytes (at most $max_bytes); DllCharacteristics 0x${characteristics#00000};" \
    "sections $(awk '{ print $1 }' <<<"$sections" | paste -sd ' '); fixups: $fixups;" \
    "imports: $(echo $dlls), $functions functions"
exit $status
