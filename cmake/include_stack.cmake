# Fails when a source file includes a header of a folder that stands above
# its own in the stack, or of its sibling:
#   platform/ < run/ < jobfile/, counting/ (siblings) < frontend/
# The test support and the benchmarks stand on the folders they serve.
# Every #include naming one of the project's folders, "quoted" or
# <angled>, is checked; system headers are not.
#   cmake -DROOT=<source folder> -P cmake/include_stack.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT DEFINED ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source folder> -P include_stack.cmake")
endif()

# Each rule: where the including file stands (the longest matching start of
# its path wins), then what it may include, by the start of the path.
set(rules
  "platform/:platform/"
  "run/:run/,platform/"
  "jobfile/:jobfile/,run/,platform/"
  "counting/:counting/,run/,platform/"
  "frontend/:frontend/,jobfile/,counting/,run/,platform/"
  "tests/fake_platform:tests/fake_platform,run/,platform/"
  "tests/algebras/:tests/algebras/,run/,platform/"
  "tests/engine_check:tests/engine_check,tests/algebras/,counting/,run/,platform/"
  "bench/:bench/,tests/algebras/,counting/,run/,platform/"
)
# What a folder's tests (*_test.cc) may include besides: the test support
# that stands on no more than the folder itself does.
set(test_rules
  "run/:tests/fake_platform"
  "jobfile/:tests/fake_platform"
  "counting/:tests/fake_platform,tests/algebras/,tests/engine_check"
  "frontend/:tests/fake_platform,tests/algebras/,tests/engine_check"
  "tests/algebras/:"
)
set(project_folders platform run jobfile counting frontend tests bench)

# The entry of `table` for `path` (its longest matching start) in `out`:
# the allowed starts as a list, or "none" when no entry matches.
function(lookup table path out)
  set(best "")
  set(allowed "none")
  foreach(rule IN LISTS ${table})
    string(FIND "${rule}" ":" colon)
    string(SUBSTRING "${rule}" 0 ${colon} where)
    math(EXPR from "${colon} + 1")
    string(SUBSTRING "${rule}" ${from} -1 what)
    string(LENGTH "${where}" length)
    string(LENGTH "${best}" best_length)
    string(FIND "${path}" "${where}" at)
    if(at EQUAL 0 AND length GREATER best_length)
      set(best "${where}")
      string(REPLACE "," ";" allowed "${what}")
    endif()
  endforeach()
  set(${out} "${allowed}" PARENT_SCOPE)
endfunction()

set(globs "")
foreach(folder IN LISTS project_folders)
  list(APPEND globs "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cc")
endforeach()
file(GLOB_RECURSE files RELATIVE "${ROOT}" ${globs})
list(SORT files)
string(JOIN "|" folder_pattern ${project_folders})

set(faults 0)
foreach(file IN LISTS files)
  lookup(rules "${file}" allowed)
  if(allowed STREQUAL "none")
    continue()  # the top of the stack: the tests of whole runs, the fuzzer
  endif()
  if(file MATCHES "_test\\.cc$")
    lookup(test_rules "${file}" extra)
    if(NOT extra STREQUAL "none")
      list(APPEND allowed ${extra})
    endif()
  endif()
  file(STRINGS "${ROOT}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS includes)
    if(NOT line MATCHES "include[ \t]*[\"<]([^\">]*)[\">]")
      continue()
    endif()
    set(header "${CMAKE_MATCH_1}")
    if(NOT header MATCHES "^(${folder_pattern})/")
      continue()  # a system or library header
    endif()
    set(ok FALSE)
    foreach(start IN LISTS allowed)
      string(FIND "${header}" "${start}" at)
      if(at EQUAL 0)
        set(ok TRUE)
      endif()
    endforeach()
    if(NOT ok)
      message("${file}: includes ${header}, which stands above it or beside it in the stack")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endforeach()

if(faults GREATER 0)
  message(FATAL_ERROR "${faults} include(s) up the stack")
endif()
