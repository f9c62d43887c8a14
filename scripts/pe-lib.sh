# shellcheck shell=bash
# Sourced: reads the headers of a PE file (an exe) with od.
#   pe_open FILE          sets $pe_file, $pe_at (the PE signature's offset),
#                         $pe_opt (the optional header's), $pe_plus (1 for PE32+)
#                         and $pe_sections (the section table's)
#   pe_u OFFSET SIZE      the little-endian number of SIZE bytes at OFFSET
#   pe_field OFFSET       names the header field or section that holds OFFSET
#   pe_checksum           the header checksum the file's bytes call for

pe_u() { od -An -v -t "u$2" -j "$1" -N "$2" "$pe_file" | tr -d ' \n'; }

pe_open() {
    pe_file=$1
    [ "$(head -c 2 "$pe_file")" = MZ ] || { echo "$pe_file: no MZ header" >&2; return 1; }
    pe_at=$(pe_u 60 4)
    [ "$(pe_u "$pe_at" 4)" = 17744 ] || { echo "$pe_file: no PE signature" >&2; return 1; }  # "PE\0\0"
    pe_opt=$((pe_at + 24))
    case $(pe_u "$pe_opt" 2) in
        267) pe_plus=0 ;;  # 0x10b
        523) pe_plus=1 ;;  # 0x20b
        *) echo "$pe_file: unknown optional header" >&2; return 1 ;;
    esac
    pe_sections=$((pe_opt + $(pe_u $((pe_at + 20)) 2)))
}

# The optional header's fields before its data directories, (offset size name)
# triples: PE32, then PE32+.
# shellcheck disable=SC2034
pe_opt_fields32=(0 2 Magic 2 1 MajorLinkerVersion 3 1 MinorLinkerVersion 4 4 SizeOfCode
    8 4 SizeOfInitializedData 12 4 SizeOfUninitializedData 16 4 AddressOfEntryPoint 20 4 BaseOfCode
    24 4 BaseOfData 28 4 ImageBase 32 4 SectionAlignment 36 4 FileAlignment
    40 2 MajorOperatingSystemVersion 42 2 MinorOperatingSystemVersion 44 2 MajorImageVersion
    46 2 MinorImageVersion 48 2 MajorSubsystemVersion 50 2 MinorSubsystemVersion
    52 4 Win32VersionValue 56 4 SizeOfImage 60 4 SizeOfHeaders 64 4 CheckSum 68 2 Subsystem
    70 2 DllCharacteristics 72 4 SizeOfStackReserve 76 4 SizeOfStackCommit 80 4 SizeOfHeapReserve
    84 4 SizeOfHeapCommit 88 4 LoaderFlags 92 4 NumberOfRvaAndSizes)
pe_opt_fields64=(0 2 Magic 2 1 MajorLinkerVersion 3 1 MinorLinkerVersion 4 4 SizeOfCode
    8 4 SizeOfInitializedData 12 4 SizeOfUninitializedData 16 4 AddressOfEntryPoint 20 4 BaseOfCode
    24 8 ImageBase 32 4 SectionAlignment 36 4 FileAlignment
    40 2 MajorOperatingSystemVersion 42 2 MinorOperatingSystemVersion 44 2 MajorImageVersion
    46 2 MinorImageVersion 48 2 MajorSubsystemVersion 50 2 MinorSubsystemVersion
    52 4 Win32VersionValue 56 4 SizeOfImage 60 4 SizeOfHeaders 64 4 CheckSum 68 2 Subsystem
    70 2 DllCharacteristics 72 8 SizeOfStackReserve 80 8 SizeOfStackCommit 88 8 SizeOfHeapReserve
    96 8 SizeOfHeapCommit 104 4 LoaderFlags 108 4 NumberOfRvaAndSizes)
pe_coff_fields=(0 2 Machine 2 2 NumberOfSections 4 4 TimeDateStamp 8 4 PointerToSymbolTable
    12 4 NumberOfSymbols 16 2 SizeOfOptionalHeader 18 2 Characteristics)
pe_directories=(Export Import Resource Exception Certificate BaseRelocation Debug Architecture
    GlobalPtr TLS LoadConfig BoundImport IAT DelayImport CLRRuntime Reserved)
pe_section_fields=(0 8 Name 8 4 VirtualSize 12 4 VirtualAddress 16 4 SizeOfRawData
    20 4 PointerToRawData 24 4 PointerToRelocations 28 4 PointerToLinenumbers
    32 2 NumberOfRelocations 34 2 NumberOfLinenumbers 36 4 Characteristics)

# _pe_in_table OFFSET BASE FIELDS...: the name of the field holding OFFSET.
_pe_in_table() {
    local off=$1 base=$2
    shift 2
    while [ $# -ge 3 ]; do
        if [ "$off" -ge $((base + $1)) ] && [ "$off" -lt $((base + $1 + $2)) ]; then
            echo "$3"
            return 0
        fi
        shift 3
    done
    return 1
}

pe_section_name() { head -c $(($1 + 8)) "$pe_file" | tail -c 8 | tr -d '\0'; }

pe_field() {
    local off=$1 count dirs i start size name
    count=$(pe_u $((pe_at + 6)) 2)
    if [ "$off" -lt 64 ]; then echo "DOS header"; return; fi
    if [ "$off" -lt "$pe_at" ]; then echo "DOS stub"; return; fi
    if [ "$off" -lt $((pe_at + 4)) ]; then echo "PE signature"; return; fi
    if [ "$off" -lt "$pe_opt" ]; then
        echo "COFF header $(_pe_in_table "$off" $((pe_at + 4)) "${pe_coff_fields[@]}")"
        return
    fi
    if [ "$pe_plus" = 1 ]; then dirs=$((pe_opt + 112)); else dirs=$((pe_opt + 96)); fi
    if [ "$off" -lt "$dirs" ]; then
        if [ "$pe_plus" = 1 ]; then
            name=$(_pe_in_table "$off" "$pe_opt" "${pe_opt_fields64[@]}")
        else
            name=$(_pe_in_table "$off" "$pe_opt" "${pe_opt_fields32[@]}")
        fi
        echo "optional header $name"
        return
    fi
    if [ "$off" -lt "$pe_sections" ]; then
        i=$(((off - dirs) / 8)) name=Size
        [ $(((off - dirs) % 8)) -ge 4 ] || name=RVA
        echo "optional header data directory ${pe_directories[$i]:-$i} ($name)"
        return
    fi
    if [ "$off" -lt $((pe_sections + 40 * count)) ]; then
        i=$(((off - pe_sections) / 40))
        start=$((pe_sections + 40 * i))
        echo "section header $(pe_section_name "$start") $(_pe_in_table "$off" "$start" "${pe_section_fields[@]}")"
        return
    fi
    for ((i = 0; i < count; i++)); do
        start=$(pe_u $((pe_sections + 40 * i + 20)) 4)
        size=$(pe_u $((pe_sections + 40 * i + 16)) 4)
        if [ "$off" -ge "$start" ] && [ "$off" -lt $((start + size)) ]; then
            printf 'section %s, byte 0x%x of it\n' "$(pe_section_name $((pe_sections + 40 * i)))" $((off - start))
            return
        fi
    done
    echo "no section (header padding or data after the sections)"
}

# The sum of the file's 16-bit words, the CheckSum field read as zero, folded to
# 16 bits, plus the file's length.
pe_checksum() {
    local skip=$(((pe_opt + 64) / 2)) length
    length=$(stat -c %s "$pe_file")
    { cat "$pe_file"; [ $((length % 2)) = 0 ] || printf '\0'; } | od -An -v -t u2 |
        awk -v skip="$skip" -v length_="$length" '
            { for (i = 1; i <= NF; i++) { if (n != skip && n != skip + 1) { s += $i; if (s > 65535) s = s % 65536 + int(s / 65536) } n++ } }
            END { print s + length_ }'
}
