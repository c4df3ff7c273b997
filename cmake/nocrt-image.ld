/* The image of a program without a C runtime: one section with the code, the constant data and
   the import tables, read and execute but never write; the zeroed data; the relocations.
   Every section costs a 4 KiB page and a 512-byte step of the file, and three section headers
   still fit into the first 512 bytes: the file is those 512 bytes, the one section and the
   relocations, each rounded up to 512 bytes.
   Accepted alike by binutils 2.40 and 2.44 (MSYS2), with the image base that
   windows-build.cmake passes (a multiple of 4 GiB, see the import tables below). */
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .text __image_base__ + __section_alignment__ :
  {
    *(.text)
    *(SORT(.text$*))
    *(.text.*)
    /* The one absolute address of the image (cmake/relocation-anchor.cpp): nothing refers
       to it, so it is kept here against --gc-sections. */
    KEEP (*(.rdata$anchor))
    *(.rdata)
    *(SORT(.rdata$*))

    /* The import tables, in the order of ld's own .idata section. The loader makes the
       address table writable while it fills it in and read-only again afterwards. Without an
       output section called .idata, ld takes the Import Directory and the Import Address
       Table from the symbols .idata$2, $4, $5 and $6, but writes them as addresses rather
       than as offsets from the image base (binutils 2.40 to 2.44 at least). Cut to 32 bits,
       an address is the offset when the image base is a multiple of 4 GiB; should ld one day
       subtract the base, the offset is still the same. */
    ".idata$2" = .;
    KEEP (SORT(*)(.idata$2))
    KEEP (SORT(*)(.idata$3))
    /* An empty descriptor ends the list of DLLs. */
    LONG (0); LONG (0); LONG (0); LONG (0); LONG (0);
    ".idata$4" = .;
    . = ALIGN(8);
    KEEP (SORT(*)(.idata$4))
    ".idata$5" = .;
    SORT(*)(.idata$5)
    ".idata$6" = .;
    KEEP (SORT(*)(.idata$6))
    KEEP (SORT(*)(.idata$7))
  }
  /* Initialised writable data would cost a section of its own; the programs have none. */
  .data BLOCK(__section_alignment__) :
  {
    *(.data)
    *(SORT(.data$*))
  }
  .bss BLOCK(__section_alignment__) :
  {
    *(.bss)
    *(SORT(.bss$*))
    *(COMMON)
  }
  .reloc BLOCK(__section_alignment__) :
  {
    *(.reloc)
  }
  /DISCARD/ :
  {
    *(.debug$S)
    *(.debug$T)
    *(.debug$F)
    *(.drectve)
    *(.note.GNU-stack)
    *(.gnu.lto_*)
  }
}
