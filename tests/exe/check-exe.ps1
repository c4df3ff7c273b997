# The image checks of check-exe.sh for Windows without GNU tools: this reads the PE headers
# itself. Its first line has the form of the bash checker's last, so that the two can be held
# against each other on the same exe; the section table follows. Rules: PE32+ for x64;
# DllCharacteristics with HIGH_ENTROPY_VA, DYNAMIC_BASE and NX_COMPAT; relocations with at least
# one fixup, each pointing into the image; no TLS, no load configuration, no resources; imports
# from KERNEL32, USER32 and GDI32 only (so no C runtime DLL); no section both writable and
# executable; no time stamp, or link.exe's /Brepro hash in its place (a REPRO debug entry).
# Usage: pwsh -File check-exe.ps1 EXE [MAX_BYTES]   (0, the default: the size is only printed)
param([Parameter(Mandatory = $true)][string]$Exe, [long]$MaxBytes = 0)
$ErrorActionPreference = 'Stop'
$path = (Resolve-Path -LiteralPath $Exe).Path
$name = Split-Path -Leaf $path
$bytes = [System.IO.File]::ReadAllBytes($path)
$script:status = 0

function Fail([string]$why) {
    Write-Output "${name}: $why"
    $script:status = 1
}
function U16([long]$at) { [BitConverter]::ToUInt16($bytes, $at) }
function U32([long]$at) { [BitConverter]::ToUInt32($bytes, $at) }
function U64([long]$at) { [BitConverter]::ToUInt64($bytes, $at) }
# The file offset of an address relative to the image base, or -1 where no section holds it.
function Offset([long]$rva) {
    foreach ($s in $sections) {
        if ($rva -ge $s.Address -and $rva -lt ([long]$s.Address + $s.RawSize)) {
            return [long]$s.RawOffset + $rva - $s.Address
        }
    }
    return -1
}
# A data directory entry: 1 imports, 2 resources, 5 relocations, 6 debug, 9 TLS, 10 load config.
function DirRva([int]$entry) { U32 ($optional + 112 + 8 * $entry) }
function DirSize([int]$entry) { U32 ($optional + 116 + 8 * $entry) }

$pe = U32 0x3c
if ((U32 $pe) -ne 0x4550) {
    Write-Output "${name}: no PE signature"
    exit 1
}
$machine = U16 ($pe + 4)
$sectionCount = U16 ($pe + 6)
$timestamp = U32 ($pe + 8)
$optional = $pe + 24
$sectionTable = $optional + (U16 ($pe + 20))
if ($machine -ne 0x8664) { Fail ('Machine is 0x{0:x}, not 0x8664 (x64)' -f $machine) }
if ((U16 $optional) -ne 0x20b) {
    Fail ('not a PE32+ image (Magic 0x{0:x})' -f (U16 $optional))
    exit 1
}
$imageBase = U64 ($optional + 24)
$imageSize = U32 ($optional + 56)
$dllCharacteristics = U16 ($optional + 70)

$sections = @(for ($i = 0; $i -lt $sectionCount; $i++) {
        $at = $sectionTable + 40 * $i
        [pscustomobject]@{
            Name      = [System.Text.Encoding]::ASCII.GetString($bytes, $at, 8).TrimEnd([char]0)
            Size      = U32 ($at + 8)
            Address   = U32 ($at + 12)
            RawSize   = U32 ($at + 16)
            RawOffset = U32 ($at + 20)
            Flags     = U32 ($at + 36)
        }
    })

# Windows randomises the image only if it can move it: the flags, and relocations to apply.
if (($dllCharacteristics -band 0x160) -ne 0x160) {
    Fail ('DllCharacteristics is 0x{0:x}, without all of 0x160 (HIGH_ENTROPY_VA, DYNAMIC_BASE, NX_COMPAT)' -f $dllCharacteristics)
}
if ((U16 ($pe + 22)) -band 1) { Fail 'marked as having its relocations stripped' }
$fixups = 0
$at = Offset (DirRva 5)
if ((DirSize 5) -eq 0 -or $at -lt 0) {
    Fail 'the Base Relocation Directory is empty'
} else {
    $end = $at + (DirSize 5)
    while ($at + 8 -le $end) {
        $page = U32 $at
        $blockSize = U32 ($at + 4)
        if ($blockSize -lt 8) {
            Fail ('a relocation block of {0} bytes' -f $blockSize)
            break
        }
        for ($e = $at + 8; $e + 2 -le $at + $blockSize; $e += 2) {
            $type = (U16 $e) -shr 12
            $rva = [long]$page + ((U16 $e) -band 0xfff)
            if ($type -eq 10) {
                # DIR64: eight bytes that must hold an address in the image.
                $target = Offset $rva
                if ($target -lt 0 -or (U64 $target) -lt $imageBase -or (U64 $target) -ge $imageBase + $imageSize) {
                    Fail ('the fixup at 0x{0:x} holds no address in the image' -f $rva)
                }
                $fixups++
            } elseif ($type -ne 0) {
                Fail ('fixup of type {0} at 0x{1:x}' -f $type, $rva)
            }
        }
        $at += $blockSize
    }
}
if ($fixups -eq 0) { Fail 'no address to fix up in the relocations' }

# Code the loader would run before the entry point, or checks a C runtime sets up.
if ((DirSize 9) -ne 0) { Fail 'has a TLS directory' }
if ((DirSize 10) -ne 0) { Fail 'has a Load Configuration directory' }
if ((DirSize 2) -ne 0) { Fail 'the Resource Directory is not empty' }

$execute = 0x20000000
$write = [uint32]2147483648
foreach ($s in $sections) {
    if (($s.Flags -band $execute) -and ($s.Flags -band $write)) {
        Fail "section $($s.Name) is both writable and executable"
    }
}

# The imports: each descriptor names its DLL and its lookup table, which ends with a zero.
$allowed = 'GDI32.DLL', 'KERNEL32.DLL', 'USER32.DLL'
$dlls = @()
$functions = 0
$at = Offset (DirRva 1)
if ((DirSize 1) -eq 0 -or $at -lt 0) {
    Fail 'the Import Directory points at no import table'
} else {
    while ((U32 ($at + 12)) -ne 0) {
        $nameAt = Offset (U32 ($at + 12))
        $nameEnd = [Array]::IndexOf($bytes, [byte]0, [int]$nameAt)
        $dll = [System.Text.Encoding]::ASCII.GetString($bytes, $nameAt, $nameEnd - $nameAt).ToUpperInvariant()
        if ($allowed -notcontains $dll) { Fail "unexpected import: $dll (allowed: $($allowed -join ' '))" }
        $dlls += $dll
        $lookup = U32 $at
        if ($lookup -eq 0) { $lookup = U32 ($at + 16) }
        $thunk = Offset $lookup
        if ($thunk -lt 0) {
            Fail "the lookup table of $dll lies outside the file"
        } else {
            while ((U64 $thunk) -ne 0) {
                $functions++
                $thunk += 8
            }
        }
        $at += 20
    }
}
if ($dlls.Count -eq 0) { Fail 'no imports read' }

# Reproducible: no link time, or the hash of the image that link.exe's /Brepro writes there.
$debugTypes = @()
$at = Offset (DirRva 6)
if ((DirSize 6) -ne 0 -and $at -ge 0) {
    for ($i = 0; $i -lt [math]::Floor((DirSize 6) / 28); $i++) { $debugTypes += U32 ($at + 28 * $i + 12) }
}
$repro = 16
if ($timestamp -ne 0 -and $debugTypes -notcontains $repro) {
    Fail ('carries a link time stamp (0x{0:x8}) and no /Brepro debug entry' -f $timestamp)
}

$size = $bytes.Length
$bound = 'no bound'
if ($MaxBytes -gt 0) {
    $bound = "at most $MaxBytes"
    if ($size -gt $MaxBytes) { Fail "$size bytes, more than $MaxBytes" }
}
$sectionNames = ($sections | ForEach-Object { $_.Name }) -join ' '
$dllNames = ($dlls | Sort-Object) -join ' '
$line = '{0}: {1} bytes ({2}); DllCharacteristics 0x{3:x}; sections {4}; fixups: {5}; imports: {6}, {7} functions'
Write-Output ($line -f $name, $size, $bound, $dllCharacteristics, $sectionNames, $fixups, $dllNames, $functions)
$debugNames = 'none'
if ($debugTypes.Count -gt 0) { $debugNames = $debugTypes -join ' ' }
Write-Output ('time stamp 0x{0:x8}; debug directory entries of type: {1}' -f $timestamp, $debugNames)
foreach ($s in $sections) {
    $access = ''
    if ($s.Flags -band 0x40000000) { $access += 'r' } else { $access += '-' }
    if ($s.Flags -band $write) { $access += 'w' } else { $access += '-' }
    if ($s.Flags -band $execute) { $access += 'x' } else { $access += '-' }
    $row = 'section {0,-8} address 0x{1:x5} size 0x{2:x5} in file 0x{3:x5} at 0x{4:x5} {5}'
    Write-Output ($row -f $s.Name, $s.Address, $s.Size, $s.RawSize, $s.RawOffset, $access)
}
exit $script:status
