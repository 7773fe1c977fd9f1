# How every target is compiled: the settings all of them share (kit_options), and what each build makes
# of each kind of target: its optimisation level, debug information and assertions, sanitizers and
# precompiled headers. This is the one place that says so; the presets only choose the build. What a
# sanitizer build leaves out is said where those targets are made: ThreadSanitizer's the rules' test
# program (tests/) and the data generator's instrumentation (game/data).
#
# The build: a sanitizer build (KIT_SANITIZE: AddressSanitizer and UBSan; KIT_TSAN: ThreadSanitizer) or
# the fuzz build (KIT_FUZZ: libFuzzer, ASan and UBSan, with clang), whatever the build type; else the
# debug build (CMAKE_BUILD_TYPE Debug) or the optimised one (any other type, or none).
#
# The kinds of target (kit_compile_as names a target's; one it does not name is the program):
#   program       the libraries platform, framework and game, the game's own program, the tools,
#                 benchmarks and fuzz targets, and the data generator's program file (which reads its
#                 arguments and the level sources and calls the rest)
#   test-support  tests/support, the helpers the test programs share
#   test-program  a test program's own code, mostly GoogleTest's expansions
#   data          the data's rules (gamedata_rules) and the generator's work (gamedata_tools)
# Why each gets its level:
# - The program: -O2 in the optimised and fuzz builds, the level its hot loops are written and measured
#   at (platform/ddraw/Blitter.cpp asks GCC for the vectorising -O2 leaves out); unoptimised in the debug
#   build, for the debugger. The sanitizer builds at -O1, as AddressSanitizer and ThreadSanitizer
#   advise: unoptimised, every checked access is a call, and the ASan suite took 844 processor seconds
#   against 392 at -O1, ThreadSanitizer's 932 against 639.
# - A test program's own code a step below what it tests: at -O1 in the optimised build it compiled in
#   17-30 % less time than at -O2 (436 processor seconds for all of them instead of about 575);
#   unoptimised in the sanitizer builds, where at -O1 a GoogleTest unit took half as long again to
#   compile, for tests whose time goes to the program they test.
# - tests/support keeps -O2 in the optimised build for its pixel models and autopilot, where the tests
#   spend their time; in the sanitizer builds it is unoptimised like the test programs, which share its
#   precompiled headers.
# - The data at -O2 in every build: the generator runs in each build, the sanitizer and debug builds
#   too, and the data test runs its quick parts once more.
# The fuzz build makes no tests; asked to, it would compile them as the optimised build does.
#                                   optimised  debug  sanitizer  fuzz
set(kit_levels_program              2          0      1          2)
set(kit_levels_test-support         2          0      0          2)
set(kit_levels_test-program         1          0      0          1)
set(kit_levels_data                 2          2      2          2)
set(kit_builds                      optimised  debug  sanitizer  fuzz)
# Debug information and assertions, which CMake's flags of the build type carry (these replace them):
# the optimised build has no debug information (half the compile time) and no assertions; the sanitizer
# builds only the debug information that reports need (function names and source lines, -g1); the fuzz
# build line tables, for the stacks of its reports.
set(kit_type_flags_optimised "-DNDEBUG")
set(kit_type_flags_debug "-g")
set(kit_type_flags_sanitizer "-g1")
set(kit_type_flags_fuzz "-gline-tables-only -DNDEBUG")

if(KIT_SANITIZE AND KIT_TSAN OR KIT_FUZZ AND (KIT_SANITIZE OR KIT_TSAN))
  message(FATAL_ERROR "Choose one of KIT_SANITIZE, KIT_TSAN and KIT_FUZZ")
endif()
if(KIT_SANITIZE OR KIT_TSAN)
  set(kit_build sanitizer)
elseif(KIT_FUZZ)
  set(kit_build fuzz)
elseif(CMAKE_BUILD_TYPE STREQUAL "Debug")
  set(kit_build debug)
else()
  set(kit_build optimised)
endif()
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE Release CACHE STRING "The build type" FORCE)
endif()
string(TOUPPER "${CMAKE_BUILD_TYPE}" kit_type)
set(CMAKE_C_FLAGS_${kit_type} "${kit_type_flags_${kit_build}}")
set(CMAKE_CXX_FLAGS_${kit_type} "${kit_type_flags_${kit_build}}")

add_library(kit_options INTERFACE)
target_include_directories(kit_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(kit_options INTERFACE -Wall -Wextra -Wno-unused-parameter)
if(KIT_WERROR)
  target_compile_options(kit_options INTERFACE -Werror)
endif()

# Each target's level, by its kind in this build.
set(kit_kind "$<IF:$<STREQUAL:$<TARGET_PROPERTY:KIT_COMPILED_AS>,>,program,$<TARGET_PROPERTY:KIT_COMPILED_AS>>")
list(FIND kit_builds ${kit_build} kit_column)
foreach(kind program test-support test-program data)
  list(GET kit_levels_${kind} ${kit_column} level)
  target_compile_options(kit_options INTERFACE "$<$<STREQUAL:${kit_kind},${kind}>:-O${level}>")
endforeach()

# kit_compile_as(<kind> <target>...): the targets are compiled as the kind named, by the table above.
function(kit_compile_as kind)
  if(NOT DEFINED kit_levels_${kind})
    message(FATAL_ERROR "kit_compile_as: no kind of target '${kind}'")
  endif()
  set_target_properties(${ARGN} PROPERTIES KIT_COMPILED_AS ${kind})
endfunction()

if(KIT_SANITIZE)
  # GCC leaves float-cast-overflow (a float too large for its integer, or NaN) out of "undefined". A test
  # program's own code is left to ASan: unoptimised, UBSan's checks on every pointer there took two
  # fifths of its compile time. What it tests keeps them.
  set(undefined_checks -fsanitize=undefined,float-cast-overflow -fno-sanitize-recover=undefined,float-cast-overflow)
  target_compile_options(kit_options INTERFACE -fsanitize=address -fno-omit-frame-pointer
                         "$<$<NOT:$<STREQUAL:${kit_kind},test-program>>:${undefined_checks}>")
  target_link_options(kit_options INTERFACE -fsanitize=address,undefined,float-cast-overflow)
endif()
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

# Precompiled headers (every build, KIT_PRECOMPILED_HEADERS): a file spends most of its compile time
# reading the standard library and GoogleTest again, even at -O2 (about two thirds of it, GCC and clang
# alike). One set for the libraries, made once with the first of them (platform) and shared by the rest,
# and one with GoogleTest besides for tests/support and the test programs. A file still includes what it
# uses: a build without them (-DKIT_PRECOMPILED_HEADERS=OFF) finds what it does not.
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
