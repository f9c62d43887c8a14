#!/usr/bin/env bash
# Checks hoppelmaru.exe as it is released: its width, no symbols, the security
# flags Windows reads, a time stamp and checksum that follow from the commit
# alone, no path of the machine that built it, and one version everywhere.
# Usage: exe_test.sh 32|64 EXE VERSION EPOCH_FILE WINDRES SOURCE_DIR BINARY_DIR
set -euo pipefail
width=$1 exe=$2 version=$3 epoch_file=$4 windres=$5 source_dir=$6 binary_dir=$7
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/pe-lib.sh"
fail() { echo "FAIL: $exe: $*" >&2; exit 1; }

pe_open "$exe" || fail "not a PE file"
machine=$(pe_u $((pe_at + 4)) 2)
if [ "$width" = 64 ]; then
    [ "$machine" = 34404 ] && [ "$pe_plus" = 1 ] || fail "not an x86_64 PE32+ image (machine $machine)"
else
    [ "$machine" = 332 ] && [ "$pe_plus" = 0 ] || fail "not an i686 PE32 image (machine $machine)"
fi

[ "$(pe_u $((pe_at + 12)) 4)" = 0 ] && [ "$(pe_u $((pe_at + 16)) 4)" = 0 ] ||
    fail "not stripped: it has a symbol table"
for ((i = 0; i < $(pe_u $((pe_at + 6)) 2); i++)); do
    name=$(pe_section_name $((pe_sections + 40 * i)))
    case $name in .debug* | /*) fail "not stripped: section $name" ;; esac
done

flags=$(pe_u $((pe_opt + 70)) 2)
wanted="0x40=DYNAMIC_BASE 0x100=NX_COMPAT"
[ "$width" != 64 ] || wanted+=" 0x20=HIGH_ENTROPY_VA"
for flag in $wanted; do
    (( flags & ${flag%=*} )) || fail "no ${flag#*=} in DllCharacteristics ($(printf 0x%x "$flags"))"
done
# Without relocations Windows cannot move the image, whatever DYNAMIC_BASE says.
if [ "$pe_plus" = 1 ]; then relocs=$((pe_opt + 112 + 5 * 8 + 4)); else relocs=$((pe_opt + 96 + 5 * 8 + 4)); fi
[ "$(pe_u "$relocs" 4)" -gt 0 ] || fail "no base relocations"

epoch=$(cat "$epoch_file")
stamp=$(pe_u $((pe_at + 8)) 4)
[ "$stamp" = "$epoch" ] || fail "time stamp $stamp, not the source date $epoch"
sum=$(pe_u $((pe_opt + 64)) 4)
[ "$sum" = "$(pe_checksum)" ] || fail "header checksum $sum, but the bytes give $(pe_checksum)"

# A short host or user name ("vm", "root") turns up in any binary by chance.
for text in "$source_dir" "$binary_dir" "${HOME:-/root}" "$(hostname)" "$(id -un)"; do
    [ ${#text} -ge 6 ] || continue
    ! grep -qaF -- "$text" "$exe" || fail "holds '$text' from the machine that built it"
done

# The About box's text, the version resource and the manifest all give VERSION.
# The program hands its texts to the system as UTF-16.
about=$(iconv -f UTF-16LE -t UTF-8 -c "$exe" 2>/dev/null | grep -aoE 'Hoppelmaru バージョン [0-9.]+' |
        sed 's/.* //') || true
[ "$about" = "$version" ] || fail "the About box says '$about', not $version"
rc=$("$windres" -i "$exe" -O rc) || fail "$windres could not read its resources"
quad="${version//./, }, 0"
grep -qx " FILEVERSION $quad" <<<"$rc" || fail "the version resource's FILEVERSION is not $quad"
grep -qx " PRODUCTVERSION $quad" <<<"$rc" || fail "the version resource's PRODUCTVERSION is not $quad"
for key in FileVersion ProductVersion; do
    grep -qxE " *VALUE \"$key\", \"$version\"" <<<"$rc" || fail "the version resource's $key is not $version"
done
grep -qF "version=\"\"$version.0\"\"" <<<"$rc" || fail "the manifest's assembly version is not $version.0"

# The manifest as Windows reads it, comments dropped and its tags run
# together: no file virtualisation (asInvoker), and what it asked for before.
manifest=$(awk '/ 24 \/\* RT_MANIFEST \*\//, /^END/' <<<"$rc" | sed -nE 's/^ *"(.*)"$/\1/p' | tr -d '\n' |
    sed -E 's/\\n/ /g; s/""/"/g; s/<!--([^-]|-[^-])*-->//g; s/>[[:space:]]+</></g')
for want in '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3"><security><requestedPrivileges><requestedExecutionLevel level="asInvoker" uiAccess="false"/></requestedPrivileges></security></trustInfo>' \
    '<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">UTF-8</activeCodePage>' \
    '>PerMonitorV2, System</dpiAwareness>' 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
    8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
    4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 35138b9a-5d96-4fbd-8e2d-a2440225f93a; do
    grep -qF -- "$want" <<<"$manifest" || fail "the manifest lacks $want"
done
echo "exe: $exe: $(stat -c %s "$exe") bytes, stripped, flags $(printf 0x%x "$flags"), version $version"
