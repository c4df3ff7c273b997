# Windows build: Tolvane.exe without a C runtime. Its own entry point ends in ExitProcess,
# so no startup files and no libraries beyond the four system DLLs are linked.
set(NOCRT_COMPILE_OPTIONS
    -Os
    -fno-exceptions
    -fno-rtti
    -fno-asynchronous-unwind-tables
    -fno-unwind-tables
    -fno-stack-protector
    -fno-threadsafe-statics
    -ffunction-sections
    # No -fdata-sections: MinGW then puts zeroed data in .data$name, stored in the file.
    -Werror)
set(NOCRT_LINK_OPTIONS
    -nostdlib
    -nostartfiles
    -mwindows
    -s
    LINKER:--gc-sections
    LINKER:--entry=TolvaneEntry
    # No .reloc section: the image always loads at its preferred base.
    LINKER:--disable-dynamicbase
    LINKER:--disable-reloc-section)
set(NOCRT_LIBRARIES kernel32 user32 gdi32 winmm)

# Every program source compiled against the real Windows headers, as one library.
add_library(tolvane_program STATIC ${PROGRAM_SOURCES})
target_include_directories(tolvane_program PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(tolvane_program PUBLIC ${NOCRT_COMPILE_OPTIONS})
# The system DLLs follow the library on the link line, so its references resolve.
target_link_libraries(tolvane_program PUBLIC ${NOCRT_LIBRARIES})

# An executable built the way Tolvane.exe is: same flags, same entry point name.
function(tolvane_nocrt_executable target)
    add_executable(${target} WIN32 ${ARGN})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${target} PRIVATE ${NOCRT_COMPILE_OPTIONS})
    target_link_options(${target} PRIVATE ${NOCRT_LINK_OPTIONS})
    target_link_libraries(${target} PRIVATE ${NOCRT_LIBRARIES})
endfunction()

set_source_files_properties(app/nocrt.cpp PROPERTIES COMPILE_OPTIONS -fno-tree-loop-distribute-patterns)
tolvane_nocrt_executable(Tolvane ${ENTRY_SOURCE} app/nocrt.cpp)
target_link_libraries(Tolvane PRIVATE tolvane_program)
set_target_properties(Tolvane PROPERTIES OUTPUT_NAME Tolvane)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
    add_subdirectory(tests/e2e)
endif()

# Checked on the build host: the imports, the size and the absence of resources.
enable_testing()
add_test(NAME exe_imports_and_size
         COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check-exe.sh ${TOLVANE_OBJDUMP}
                 $<TARGET_FILE:Tolvane> 12288)
