# The build refuses a wrong include: a test compiles a one-line source that
# includes a header, with the include roots, definitions and options of a
# unit's library alone (as the build compiles that unit's files), and
# passes only when the compiler says that header cannot be found: a lower
# unit cannot reach a higher one. The same rule with ALLOWED is its control:
# the unit reaches its own headers and those of the units beneath it, so a
# refusal is not the compiler failing for some other reason.
#
#   chronara_include_rule(<unit target> <header> REFUSED|ALLOWED)
#
# The test is named include_rule.<unit target>.<refuses|allows>.<header>.
# The header must exist in the tree, so that a renamed header cannot make
# a refusal pass.

function(chronara_include_rule unit header expectation)
  if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${header})
    message(FATAL_ERROR "chronara_include_rule: ${header} is not in the tree")
  endif()
  if(NOT TARGET ${unit})
    message(FATAL_ERROR "chronara_include_rule: no target ${unit}")
  endif()
  string(MAKE_C_IDENTIFIER "${unit}_${expectation}_${header}" stem)
  set(source ${PROJECT_BINARY_DIR}/include_rules/${stem}.cpp)
  file(CONFIGURE OUTPUT ${source}
       CONTENT "// Made by cmake/IncludeRules.cmake: ${unit} and ${header}.\n#include \"${header}\"\n")
  set(includes "$<TARGET_PROPERTY:${unit},INCLUDE_DIRECTORIES>")
  set(definitions "$<TARGET_PROPERTY:${unit},COMPILE_DEFINITIONS>")
  set(options "$<TARGET_PROPERTY:${unit},COMPILE_OPTIONS>")
  if(expectation STREQUAL "REFUSED")
    set(test include_rule.${unit}.refuses.${header})
  else()
    set(test include_rule.${unit}.allows.${header})
  endif()
  # Warnings off (-w): the include roots here are plain -I, where the build
  # takes a library's as system headers, and the rule is about finding a
  # header, not about warnings in Qt's.
  add_test(NAME ${test}
           COMMAND ${CMAKE_CXX_COMPILER} -std=c++17 -fsyntax-only -fPIC
                   "$<$<BOOL:${includes}>:-I$<JOIN:${includes},;-I>>"
                   "$<$<BOOL:${definitions}>:-D$<JOIN:${definitions},;-D>>"
                   "${options}" -w ${source}
           COMMAND_EXPAND_LISTS)
  if(expectation STREQUAL "REFUSED")
    # gcc: "HEADER: No such file or directory"; clang: "'HEADER' file not found".
    string(REGEX REPLACE "([.+])" "\\\\\\1" pattern ${header})
    set_tests_properties(${test} PROPERTIES
      PASS_REGULAR_EXPRESSION "${pattern}: No such file or directory|'${pattern}' file not found")
  elseif(NOT expectation STREQUAL "ALLOWED")
    message(FATAL_ERROR "chronara_include_rule: REFUSED or ALLOWED, not ${expectation}")
  endif()
endfunction()
