# Targets made of the sources found in their folders: a library takes every .cpp below its folder
# (kit_add_library), so that adding a file needs no CMake edit (game/data names its sources instead); and
# the list of the outside libraries' leak reports that the programs link. How each target is compiled:
# cmake/KitCompile.cmake.

# The outside libraries' leak reports that LeakSanitizer ignores: linked straight into each program (an
# archive member that nothing calls would be left out).
add_library(kit_leak_suppressions OBJECT ${PROJECT_SOURCE_DIR}/cmake/LeakSuppressions.cpp)
target_link_libraries(kit_leak_suppressions PRIVATE kit_options)

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

# kit_add_library(<name> [FOLDERS <dirs>...] [EXCLUDE <regex>] PUBLIC <libs>... PRIVATE <libs>...): a
# static library of every .cpp below the current folder (or the folders named) but those EXCLUDE matches;
# an interface library while the folder holds no source yet.
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
