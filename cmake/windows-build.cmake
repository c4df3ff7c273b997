# Windows build: Tolvane.exe without a C runtime. Its own entry point ends in ExitProcess,
# so no startup files and no libraries beyond the three system DLLs are linked.

# The code is generated at link time (link-time optimisation, as one unit), so the options that
# shape it go to the compiler and to the link alike.
set(NOCRT_CODE_OPTIONS
    -Oz
    # Arrays get the alignment their type needs, not 32 bytes.
    -malign-data=abi)
set(NOCRT_COMPILE_OPTIONS
    ${NOCRT_CODE_OPTIONS}
    -fno-exceptions
    -fno-rtti
    -fno-asynchronous-unwind-tables
    -fno-unwind-tables
    -fno-stack-protector
    -fno-threadsafe-statics
    # No -ffunction-sections: every function in a section of its own is aligned to 16 bytes.
    # No -fdata-sections: MinGW then puts zeroed data in .data$name, stored in the file.
    -Werror)
# An ordinary hardened image (ASLR with high-entropy addresses, NX), laid out by
# cmake/nocrt-image.ld into one section plus the zeroed data and the relocations, and the same
# byte for byte from every build of the same sources: no time stamp, no paths (-s drops the
# symbols, and nothing is compiled with debug information).
set(NOCRT_LINK_OPTIONS
    ${NOCRT_CODE_OPTIONS}
    -nostdlib
    -nostartfiles
    -mwindows
    -s
    LINKER:--gc-sections
    LINKER:--entry=TolvaneEntry
    LINKER:--dynamicbase
    LINKER:--high-entropy-va
    LINKER:--nxcompat
    LINKER:--file-alignment=0x200
    LINKER:--section-alignment=0x1000
    # A multiple of 4 GiB, so that ld writes the import directories right (cmake/nocrt-image.ld).
    LINKER:--image-base=0x100000000
    LINKER:--no-insert-timestamp
    LINKER:-T,${CMAKE_SOURCE_DIR}/cmake/nocrt-image.ld)
# Only KnownDLLs, which Windows never looks for beside the exe; winmm is loaded at run time.
set(NOCRT_LIBRARIES kernel32 user32 gdi32)

# Every program source compiled against the real Windows headers, as one library.
add_library(tolvane_program STATIC ${PROGRAM_SOURCES})
target_include_directories(tolvane_program PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(tolvane_program PUBLIC ${NOCRT_COMPILE_OPTIONS})
set_target_properties(tolvane_program PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
# The system DLLs follow the library on the link line, so its references resolve.
target_link_libraries(tolvane_program PUBLIC ${NOCRT_LIBRARIES})

# An executable built the way Tolvane.exe is: same flags, same entry point name, same layout.
function(tolvane_nocrt_executable target)
    add_executable(${target} WIN32 ${ARGN} ${CMAKE_SOURCE_DIR}/cmake/relocation-anchor.cpp)
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${target} PRIVATE ${NOCRT_COMPILE_OPTIONS})
    target_link_options(${target} PRIVATE ${NOCRT_LINK_OPTIONS})
    target_link_libraries(${target} PRIVATE ${NOCRT_LIBRARIES})
    set_target_properties(${target} PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON
                          LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/nocrt-image.ld)
endfunction()

# Outside link-time optimisation: the calls to memset and memcpy that the compiler itself
# inserts while it generates the code at link time must find these definitions still there.
set_source_files_properties(app/nocrt.cpp PROPERTIES COMPILE_OPTIONS
                            "-fno-tree-loop-distribute-patterns;-fno-lto")
tolvane_nocrt_executable(Tolvane ${ENTRY_SOURCE} app/nocrt.cpp)
target_link_libraries(Tolvane PRIVATE tolvane_program)
set_target_properties(Tolvane PROPERTIES OUTPUT_NAME Tolvane)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
    add_subdirectory(tests/e2e)
endif()

# Checked on the build host: a hardened image, the import tables, the relocations, the DLLs,
# no resources, no time stamp, and the size; the empty window is built and checked the same way.
# And the release package (CMakeLists.txt) with what it holds. The checks are bash scripts,
# run through bash, so that ctest runs them on Windows (MSYS2) as well.
enable_testing()
add_test(NAME exe_tolvane
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/exe/check-exe.sh ${TOLVANE_OBJDUMP}
                 $<TARGET_FILE:Tolvane> 9728)
add_test(NAME package_zip
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/exe/check-package.sh ${CMAKE_SOURCE_DIR}
                 ${CMAKE_BINARY_DIR})
if(TARGET empty_window)
    add_test(NAME exe_empty_window
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/exe/check-exe.sh ${TOLVANE_OBJDUMP}
                     $<TARGET_FILE:empty_window> 2560)
endif()
