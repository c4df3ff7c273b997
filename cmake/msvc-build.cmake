# Windows build with Visual Studio's compilers: cl and link, or clang-cl and lld-link. The same
# Tolvane.exe as cmake/windows-build.cmake makes with MinGW-w64: no C runtime, its own entry
# point, the three system DLLs only, the same hardening, from the same sources.

# CMake's defaults for these compilers turn on RTTI and C++ exceptions (/GR /EHsc), hold
# inlining back (/Ob1), pick a C runtime (/MD) and link ten system libraries.
string(REGEX REPLACE "/GR|/EHsc" "" CMAKE_CXX_FLAGS "${CMAKE_CXX_FLAGS}")
string(REPLACE "/Ob1" "" CMAKE_CXX_FLAGS_MINSIZEREL "${CMAKE_CXX_FLAGS_MINSIZEREL}")
set(CMAKE_MSVC_RUNTIME_LIBRARY "")
set(CMAKE_CXX_STANDARD_LIBRARIES "")

set(NOCRT_COMPILE_OPTIONS
    # No stack cookies: __security_cookie and its check live in the C runtime.
    /GS-
    # No C runtime named in the objects, no RTTI, no exceptions, no guarded static locals.
    /Zl
    /GR-
    /EHs-c-
    /Zc:threadSafeInit-
    /WX)
# An ordinary hardened image (ASLR with high-entropy addresses, NX); DllCharacteristics 0x160
# as the MinGW exe has it, without TERMINAL_SERVER_AWARE. The constant data joins the code in one
# read-only section. No manifest: the program has no resources.
set(NOCRT_LINK_OPTIONS
    /NODEFAULTLIB
    /ENTRY:TolvaneEntry
    /DYNAMICBASE
    /HIGHENTROPYVA
    /NXCOMPAT
    /TSAWARE:NO
    /MANIFEST:NO
    /OPT:REF
    /OPT:ICF
    /MERGE:.rdata=.text)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    # The smallest code, and no x64 unwind data (.pdata, .xdata): nothing here unwinds.
    # Link-time optimisation of the whole program: CMake's own is ThinLTO, 512 bytes larger here.
    list(APPEND NOCRT_COMPILE_OPTIONS /clang:-Oz /clang:-fno-asynchronous-unwind-tables
         /clang:-fno-unwind-tables -flto)
    # Reproducible: no link time stamp.
    list(APPEND NOCRT_LINK_OPTIONS /timestamp:0)
    set(NOCRT_OUTSIDE_LTO -fno-lto)
    set(TOLVANE_MAX_BYTES 10240)
else()
    # Reproducible: link.exe writes a hash of the image where the time stamp goes.
    list(APPEND NOCRT_COMPILE_OPTIONS /GL)
    list(APPEND NOCRT_LINK_OPTIONS /LTCG /Brepro)
    set(NOCRT_OUTSIDE_LTO /GL-)
    # cl keeps x64 unwind data: the size is measured and reported, not held to a bound.
    set(TOLVANE_MAX_BYTES 0)
endif()

# Import libraries: on Windows the SDK's. Elsewhere made from MinGW-w64's, every function they
# import, as short import libraries like the SDK's (MinGW's own add a jump stub per function).
if(DEFINED TOLVANE_MINGW_ROOT)
    foreach(dll kernel32 user32 gdi32)
        set(mingw_lib ${TOLVANE_MINGW_ROOT}/lib/lib${dll}.a)
        execute_process(COMMAND ${TOLVANE_NM} --defined-only --just-symbol-name ${mingw_lib}
                        OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
        # Each import has its __imp_ pointer; a function also has its stub, data has none.
        string(REGEX MATCHALL "__imp_[^\n]+" imports "${symbols}")
        string(TOUPPER ${dll} upper)
        set(def "LIBRARY ${upper}.dll\nEXPORTS\n")
        foreach(import ${imports})
            string(SUBSTRING ${import} 6 -1 name)
            string(FIND "${symbols}" "\n${name}\n" stub)
            if(stub GREATER_EQUAL 0)
                string(APPEND def "${name}\n")
            else()
                string(APPEND def "${name} DATA\n")
            endif()
        endforeach()
        file(WRITE ${CMAKE_BINARY_DIR}/implib/${dll}.def "${def}")
        execute_process(COMMAND ${TOLVANE_DLLTOOL} -m i386:x86-64 -d ${dll}.def -l ${dll}.lib
                        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/implib COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 ${TOLVANE_MINGW_ROOT}/lib/libkernel32.a ${TOLVANE_MINGW_ROOT}/lib/libuser32.a
                 ${TOLVANE_MINGW_ROOT}/lib/libgdi32.a)
    link_directories(${CMAKE_BINARY_DIR}/implib)
endif()

add_executable(Tolvane WIN32 ${PROGRAM_SOURCES} ${ENTRY_SOURCE} app/nocrt.cpp
                             cmake/relocation-anchor.cpp)
target_include_directories(Tolvane PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(Tolvane PRIVATE ${NOCRT_COMPILE_OPTIONS})
target_link_options(Tolvane PRIVATE ${NOCRT_LINK_OPTIONS})
target_link_libraries(Tolvane PRIVATE kernel32 user32 gdi32)
# Outside link-time optimisation: the calls to memset and memcpy that code generation inserts
# at link time must find these definitions still there.
set_source_files_properties(app/nocrt.cpp PROPERTIES COMPILE_OPTIONS ${NOCRT_OUTSIDE_LTO})

# The image checks: the bash checker where GNU tools read the exe, the PowerShell one on Windows.
enable_testing()
if(CMAKE_HOST_WIN32)
    # PowerShell 7 where it is installed, else the Windows PowerShell every Windows has.
    find_program(TOLVANE_POWERSHELL NAMES pwsh powershell REQUIRED)
    add_test(NAME exe_tolvane
             COMMAND ${TOLVANE_POWERSHELL} -NoProfile -ExecutionPolicy Bypass -File
                     ${CMAKE_SOURCE_DIR}/tests/exe/check-exe.ps1 $<TARGET_FILE:Tolvane>
                     ${TOLVANE_MAX_BYTES})
else()
    add_test(NAME exe_tolvane
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/exe/check-exe.sh ${TOLVANE_OBJDUMP}
                     $<TARGET_FILE:Tolvane> ${TOLVANE_MAX_BYTES})
endif()
