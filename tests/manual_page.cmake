# Compares a program's --help with its manual page, so that neither lists an
# option the other lacks, and the page's version with --version.
#   cmake -DPROGRAM=path -DPAGE=file.1 -P manual_page.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help exited with ${status}")
endif()
execute_process(COMMAND ${PROGRAM} --version OUTPUT_VARIABLE version RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --version exited with ${status}")
endif()

# The page as text: groff's minus signs and font changes taken out.
file(READ ${PAGE} page)
string(REPLACE "\\-" "-" page "${page}")
string(REGEX REPLACE "\\\\f[BIRP]" "" page "${page}")

# Options as words starting with one or two minus signs, after a blank, a
# bracket, a bar, a comma or the start of a line.
function(options_of text result)
  string(REGEX REPLACE "[][|,\t\n]" " " text " ${text}")
  string(REGEX MATCHALL " --?[a-zA-Z][a-zA-Z0-9-]*" found "${text}")
  set(names)
  foreach(match IN LISTS found)
    string(STRIP "${match}" name)
    list(APPEND names ${name})
  endforeach()
  list(REMOVE_DUPLICATES names)
  set(${result} ${names} PARENT_SCOPE)
endfunction()

options_of("${help}" helpOptions)
# The page may name the toolkit's own single-dash options, which --help does not.
string(REGEX REPLACE "[\n ]-platform" "" pageText "${page}")
options_of("${pageText}" pageOptions)
if(NOT helpOptions)
  message(FATAL_ERROR "no options found in the --help of ${PROGRAM}")
endif()

set(faults)
foreach(option IN LISTS helpOptions)
  if(NOT option IN_LIST pageOptions)
    list(APPEND faults "${option} is in --help but not in the manual page")
  endif()
endforeach()
foreach(option IN LISTS pageOptions)
  if(NOT option IN_LIST helpOptions)
    list(APPEND faults "${option} is in the manual page but not in --help")
  endif()
endforeach()

string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" programVersion "${version}")
string(REGEX MATCH "\n\\.TH [^\n]*" title "\n${page}")
if(NOT title MATCHES " ${programVersion}\"")
  list(APPEND faults "the page's title line does not name version ${programVersion}: ${title}")
endif()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "${PAGE} and ${PROGRAM} --help differ:\n  ${text}")
endif()
message(STATUS "options in both: ${helpOptions}\n")
