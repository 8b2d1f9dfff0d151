# Shows that cmake/include_stack.cmake fails on every kind of include up the
# stack and passes a tree without one: small trees are written into WORK
# and checked one by one.
#   cmake -DCHECK=<include_stack.cmake> -DWORK=<scratch folder> -P include_stack_test.cmake
cmake_minimum_required(VERSION 3.25)

set(failures 0)

# Writes a tree in which `file` holds `line` beside good includes, checks
# it and compares the outcome with `expected` (PASS or FAIL).
function(check_case name expected file line)
  set(tree "${WORK}/${name}")
  file(REMOVE_RECURSE "${tree}")
  file(WRITE "${tree}/platform/platform.h" "#include <cstddef>\n")
  file(WRITE "${tree}/run/channels.h" "#include \"platform/platform.h\"\n")
  file(WRITE "${tree}/jobfile/line_reader.h" "#include \"run/channels.h\"\n")
  file(WRITE "${tree}/counting/engine.h" "#include \"run/channels.h\"\n")
  file(WRITE "${tree}/frontend/report.h"
       "#include \"jobfile/line_reader.h\"\n#include \"counting/engine.h\"\n")
  file(WRITE "${tree}/tests/fake_platform.h" "#include \"run/channels.h\"\n")
  file(WRITE "${tree}/tests/io_faults_test.cc" "#include \"frontend/report.h\"\n")
  file(APPEND "${tree}/${file}" "${line}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${tree} -P ${CHECK}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(status EQUAL 0)
    set(got PASS)
  else()
    set(got FAIL)
  endif()
  if(NOT got STREQUAL expected)
    message("${name}: expected ${expected}, got ${got}:\n${out}")
    math(EXPR failures "${failures} + 1")
    set(failures ${failures} PARENT_SCOPE)
  elseif(got STREQUAL FAIL AND NOT out MATCHES "${file}: includes")
    message("${name}: the failure does not name ${file}:\n${out}")
    math(EXPR failures "${failures} + 1")
    set(failures ${failures} PARENT_SCOPE)
  endif()
endfunction()

check_case(good PASS frontend/main.cc "#include \"frontend/report.h\"")
check_case(run_includes_jobfile FAIL run/channels.cc "#include \"jobfile/line_reader.h\"")
check_case(platform_includes_run FAIL platform/platform.cc "#include \"run/channels.h\"")
check_case(jobfile_includes_counting FAIL jobfile/parser.cc "#include \"counting/engine.h\"")
check_case(counting_includes_jobfile FAIL counting/engine.h "#include  \"jobfile/line_reader.h\"")
check_case(counting_includes_frontend_angled FAIL counting/cache.cc "# include <frontend/report.h>")
check_case(test_support_beside_its_folder PASS jobfile/line_reader_test.cc
           "#include \"tests/fake_platform.h\"")
check_case(test_of_a_lower_folder_includes_a_higher FAIL run/channels_test.cc
           "#include \"frontend/report.h\"")
check_case(support_includes_a_higher_folder FAIL tests/fake_platform.cc
           "#include \"jobfile/line_reader.h\"")
check_case(a_whole_run_test_may_include_anything PASS tests/io_faults_test.cc
           "#include \"tests/fake_platform.h\"")

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} case(s) of the include check went wrong")
endif()
message("include check: every case as expected")
