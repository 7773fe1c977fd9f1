# Shared compile settings and the source globbing used by every folder.
# Each library takes every .cpp below its folder, so adding a file needs no CMake edit.

add_library(kit_options INTERFACE)
target_include_directories(kit_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(kit_options INTERFACE -Wall -Wextra -Wno-unused-parameter)
if(KIT_WERROR)
  target_compile_options(kit_options INTERFACE -Werror)
endif()
if(KIT_SANITIZE)
  # GCC leaves float-cast-overflow (a float too large for its integer, or NaN) out of "undefined". A test
  # program's own code (KIT_TEST_PROGRAM), GoogleTest's expansions mostly, is left to ASan: unoptimised,
  # UBSan's checks on every pointer there took two fifths of its compile time. What it tests keeps them.
  set(undefined_checks -fsanitize=undefined,float-cast-overflow -fno-sanitize-recover=undefined,float-cast-overflow)
  target_compile_options(kit_options INTERFACE -fsanitize=address -fno-omit-frame-pointer
                         "$<$<NOT:$<BOOL:$<TARGET_PROPERTY:KIT_TEST_PROGRAM>>>:${undefined_checks}>")
  target_link_options(kit_options INTERFACE -fsanitize=address,undefined,float-cast-overflow)
endif()
# The outside libraries' leak reports that LeakSanitizer ignores: linked straight into each program (an
# archive member that nothing calls would be left out).
add_library(kit_leak_suppressions OBJECT ${PROJECT_SOURCE_DIR}/cmake/LeakSuppressions.cpp)
target_link_libraries(kit_leak_suppressions PRIVATE kit_options)
if(KIT_TSAN)
  target_compile_options(kit_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(kit_options INTERFACE -fsanitize=thread)
endif()
if(KIT_FUZZ)
  # A UBSan report stops the run like an ASan one, so libFuzzer keeps the input and fails.
  target_compile_options(kit_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                                               -fno-sanitize-recover=undefined)
  target_link_options(kit_options INTERFACE -fsanitize=address,undefined)
endif()

# Precompiled headers (every preset): a file spends most of its compile time reading the standard library
# and GoogleTest again, even at -O2 (about two thirds of it, GCC and clang alike). One set for the
# libraries, made once with the first of them (platform) and shared by the rest, and one with GoogleTest
# besides for the tests. A file still includes what it uses: a build without them
# (-DKIT_PRECOMPILED_HEADERS=OFF) finds what it does not.
set(KIT_PRECOMPILED_STD_HEADERS <algorithm> <array> <atomic> <chrono> <cmath> <cstdint> <cstdio> <cstdlib>
    <cstring> <filesystem> <fstream> <functional> <limits> <map> <memory> <mutex> <optional> <set> <sstream>
    <string> <thread> <unordered_map> <utility> <vector>)

# kit_precompile_headers(<target> <first-target-of-its-kind> [headers beyond the standard library...])
function(kit_precompile_headers target first)
  if(NOT KIT_PRECOMPILED_HEADERS)
    return()
  endif()
  if(target STREQUAL first)
    target_precompile_headers(${target} PRIVATE ${KIT_PRECOMPILED_STD_HEADERS} ${ARGN})
  else()
    target_precompile_headers(${target} REUSE_FROM ${first})
  endif()
endfunction()

# kit_glob_sources(<out-var> <folder>...): every .cpp below the folders.
function(kit_glob_sources out)
  set(all)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND all ${found})
  endforeach()
  list(SORT all)
  set(${out} ${all} PARENT_SCOPE)
endfunction()

# kit_add_library(<name> [FOLDERS <dirs>...] [EXCLUDE <regex>] PUBLIC <libs>... PRIVATE <libs>...): a static library of every .cpp below the
# current folder; an interface library while the folder holds no source yet.
function(kit_add_library name)
  cmake_parse_arguments(arg "" "EXCLUDE" "PUBLIC;PRIVATE;FOLDERS" ${ARGN})
  if(NOT arg_FOLDERS)
    set(arg_FOLDERS ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  kit_glob_sources(sources ${arg_FOLDERS})
  if(arg_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${arg_EXCLUDE}")
  endif()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC kit_options ${arg_PUBLIC} PRIVATE ${arg_PRIVATE})
    kit_precompile_headers(${name} platform)
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE kit_options ${arg_PUBLIC})
  endif()
endfunction()
