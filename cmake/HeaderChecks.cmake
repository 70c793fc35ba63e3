# Every header compiles on its own. For each header of a folder a source
# that includes it, twice (so that its include guard is tried too), is made
# at configure time and compiled as part of the default build with the
# include roots and flags of the library the header belongs to, and nothing
# more: a header that leans on what its includer happened to include
# first, or that reaches a unit above its own, fails the build.
#
#   chronara_check_headers(<folder> LIBRARIES <the folder's library>...
#                          [INCLUDES <include roots>...])
#
# chronara_layer() calls it for every layer and unit; tools/ and ui/ for
# their folders. `cmake --build <build> --target chronara_headers` compiles
# all of them alone.

function(chronara_check_headers folder)
  cmake_parse_arguments(PARSE_ARGV 1 check "" "" "LIBRARIES;INCLUDES")
  file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  if(NOT headers)
    return()
  endif()
  string(REPLACE "/" "_" name "headers_${folder}")
  set(sources)
  foreach(header ${headers})
    string(REGEX REPLACE "\\.h$" ".cpp" source ${PROJECT_BINARY_DIR}/header_checks/${header})
    # Written only when its text changes, so a new configure compiles nothing again.
    file(CONFIGURE OUTPUT ${source}
         CONTENT "// Made by cmake/HeaderChecks.cmake: ${header} compiles on its own.\n#include \"${header}\"\n#include \"${header}\"\n")
    list(APPEND sources ${source})
  endforeach()
  add_library(${name} OBJECT ${sources})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  target_link_libraries(${name} PRIVATE ${check_LIBRARIES})
  target_include_directories(${name} PRIVATE ${check_INCLUDES})
  target_compile_options(${name} PRIVATE ${CHRONARA_WARNINGS})
  if(NOT TARGET chronara_headers)
    add_custom_target(chronara_headers)
  endif()
  add_dependencies(chronara_headers ${name})
endfunction()
