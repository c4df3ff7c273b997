# Build for 64-bit Windows with clang-cl and lld-link, the LLVM tools that Visual Studio ships.
# On Windows, from a Developer PowerShell, they build on the Windows SDK. Elsewhere (Debian:
# clang-tools, lld, llvm) they build on MinGW-w64's headers and on import libraries made from
# MinGW-w64's own (cmake/msvc-build.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

# Debian names clang-cl by its LLVM version (clang-cl-14 on 12, clang-cl-19 on 13). The linker,
# the archiver and the import library tool must be of the compiler's version, for LTO: they are
# taken from the folder clang-cl really lies in (Debian: /usr/lib/llvm-N/bin). Visual Studio
# keeps them in VC\Tools\Llvm\x64\bin, which its environment may leave off PATH.
find_program(CMAKE_CXX_COMPILER NAMES clang-cl clang-cl-19 clang-cl-18 clang-cl-17 clang-cl-16
             clang-cl-15 clang-cl-14 HINTS "$ENV{VCINSTALLDIR}/Tools/Llvm/x64/bin" REQUIRED)
file(REAL_PATH "${CMAKE_CXX_COMPILER}" LLVM_BIN)
get_filename_component(LLVM_BIN "${LLVM_BIN}" DIRECTORY)
find_program(CMAKE_LINKER NAMES lld-link PATHS ${LLVM_BIN} NO_DEFAULT_PATH REQUIRED)
find_program(CMAKE_AR NAMES llvm-lib PATHS ${LLVM_BIN} NO_DEFAULT_PATH REQUIRED)
find_program(CMAKE_MT NAMES llvm-mt PATHS ${LLVM_BIN} NO_DEFAULT_PATH)

if(NOT CMAKE_HOST_WIN32)
    find_program(TOLVANE_DLLTOOL NAMES llvm-dlltool PATHS ${LLVM_BIN} NO_DEFAULT_PATH REQUIRED)
    find_program(TOLVANE_NM NAMES llvm-nm PATHS ${LLVM_BIN} NO_DEFAULT_PATH REQUIRED)
    # The image checks read the exe with the MinGW-w64 objdump, as for the MinGW build.
    find_program(TOLVANE_OBJDUMP NAMES x86_64-w64-mingw32-objdump REQUIRED)
    set(TOLVANE_MINGW_ROOT /usr/x86_64-w64-mingw32)
    # No C runtime to link CMake's test programs with: it compiles them only.
    set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
    # _mingw.h defines __attribute__ away for a compiler without __GNUC__, and clang's own
    # intrinsic headers, which winnt.h includes, need it.
    set(CMAKE_CXX_FLAGS_INIT "-imsvc ${TOLVANE_MINGW_ROOT}/include /clang:-fgnuc-version=4.2.1")
endif()
