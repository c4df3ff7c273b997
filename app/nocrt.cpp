// Without a C runtime the compiler's own calls to memset and memcpy (for zeroed or copied
// structures) need a definition. Plain loops; this file is built with loop-to-call
// pattern recognition off, so they do not turn into calls to themselves.
#include <stddef.h>

#if defined(_MSC_VER) && !defined(__clang__)
// cl treats both as intrinsics, which a program may define only once told they are functions
// (clang-cl before 19 knows no such pragma, and needs none).
#pragma function(memset, memcpy)
#endif

extern "C" void* memset(void* destination, int value, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(destination);
    while (count-- > 0) {
        *out++ = static_cast<unsigned char>(value);
    }
    return destination;
}

extern "C" void* memcpy(void* destination, const void* source, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(destination);
    const unsigned char* in = static_cast<const unsigned char*>(source);
    while (count-- > 0) {
        *out++ = *in++;
    }
    return destination;
}
