// The image's one absolute address. The program reaches everything relative to the
// instruction pointer, so without this pointer ld would record no fixup and write no .reloc,
// and an image without relocations counts as one that cannot move, whatever DYNAMIC_BASE says
// (binary checkers flag it). The loader rewrites this pointer wherever it places the image.
// Nothing refers to it: cmake/nocrt-image.ld keeps its section.
extern "C" void TolvaneEntry();

#if defined(_MSC_VER)
// cl ignores gnu:: attributes; the linker keeps the pointer against /OPT:REF by its name.
#pragma section(".rdata$anchor", read)
extern "C" __declspec(allocate(".rdata$anchor")) void (*const relocationAnchor)() = TolvaneEntry;
#pragma comment(linker, "/INCLUDE:relocationAnchor")
#else
[[gnu::used, gnu::section(".rdata$anchor")]] static void (*const relocationAnchor)() = TolvaneEntry;
#endif
