# Host build: the program's sources over winsim, with the sanitizers, and the unit tests.
set(SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

file(GLOB WINSIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/winsim/*.cpp)
add_library(winsim STATIC ${WINSIM_SOURCES})
target_include_directories(winsim PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(winsim PUBLIC ${SANITIZERS})
target_link_options(winsim PUBLIC ${SANITIZERS})

add_library(tolvane_program STATIC ${PROGRAM_SOURCES} ${ENTRY_SOURCE})
target_include_directories(tolvane_program PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tolvane_program PUBLIC winsim)
target_compile_options(tolvane_program PRIVATE -Werror)

enable_testing()
add_subdirectory(tests/unit)
