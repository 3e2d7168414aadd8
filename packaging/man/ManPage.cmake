# Writes the gzipped manual page of a command-line program (cmake -P).
#   PROGRAM   the built program
#   INCLUDE   hand-written sections in help2man's include format
#   OUTPUT    the .1.gz to write
#   VERSION   the project's version; HELP2MAN the tool or empty; DATE the page's date
# With help2man and a program that answers --version, the options come from its --help.
# Otherwise the page is made from the include file alone, with the --help text as the options,
# so a build never fails for want of help2man or of a program's --version.
# A program whose help lists "Commands:" gets a COMMANDS section from each command's --help.
cmake_minimum_required(VERSION 3.25)
get_filename_component(name "${PROGRAM}" NAME)
set(page "${OUTPUT}.tmp")
file(REMOVE "${page}")

# Text shown as it is: no roff escapes, no requests, minus signs as such.
function(as_verbatim text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  string(STRIP "${text}" text)
  set(${out} ".nf\n${text}\n.fi\n" PARENT_SCOPE)
endfunction()

function(run_help out)
  execute_process(COMMAND "${PROGRAM}" ${ARGN} --help TIMEOUT 10
    RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_QUIET)
  if(NOT rc EQUAL 0)
    set(text "")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The command names: the first word of each line of the help's "Commands:" block.
function(command_sections help out)
  set(sections "")
  if(help MATCHES "\nCommands:\n(([ ]+[^\n]*\n)+)")
    string(REGEX MATCHALL "\n  [a-z][a-z-]*" names "\n${CMAKE_MATCH_1}")
    foreach(command IN LISTS names)
      string(STRIP "${command}" command)
      run_help(text ${command})
      if(text)
        as_verbatim("${text}" text)
        string(APPEND sections ".SS ${command}\n${text}")
      endif()
    endforeach()
  endif()
  if(sections)
    set(sections "[COMMANDS]\n${sections}")
  endif()
  set(${out} "${sections}" PARENT_SCOPE)
endfunction()

# Puts extra sections after NAME, SYNOPSIS and DESCRIPTION, where help2man puts the options.
function(insert_sections text extra out)
  string(REGEX MATCHALL "\\[[A-Z ]+\\]" headers "${text}")
  list(FILTER headers EXCLUDE REGEX "^\\[(NAME|SYNOPSIS|DESCRIPTION)\\]$")
  list(GET headers 0 after)
  string(FIND "${text}" "${after}" at)
  string(SUBSTRING "${text}" 0 ${at} head)
  string(SUBSTRING "${text}" ${at} -1 tail)
  set(${out} "${head}${extra}${tail}" PARENT_SCOPE)
endfunction()

run_help(help)
command_sections("${help}" commands)
file(READ "${INCLUDE}" include)

execute_process(COMMAND "${PROGRAM}" --version TIMEOUT 10
  RESULT_VARIABLE rc OUTPUT_VARIABLE version_text ERROR_QUIET)
if(HELP2MAN AND rc EQUAL 0 AND version_text MATCHES "${VERSION}")
  insert_sections("${include}" "${commands}" sections)
  file(WRITE "${OUTPUT}.h2m" "${sections}")
  execute_process(COMMAND "${HELP2MAN}" --no-info --section=1 --include=${OUTPUT}.h2m
    --source=DriveTune --version-string=${VERSION} --output=${page} "${PROGRAM}"
    TIMEOUT 30 RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  file(REMOVE "${OUTPUT}.h2m")
  if(NOT rc EQUAL 0)
    file(REMOVE "${page}")
  endif()
endif()

if(NOT EXISTS "${page}")
  set(options "")
  if(help)
    as_verbatim("${help}" options)
    set(options "[OPTIONS]\n${options}")
  endif()
  insert_sections("${include}" "${options}${commands}" text)
  string(REGEX REPLACE "(^|\n)\\[([A-Z ]+)\\]" "\\1.SH \\2" text "${text}")
  string(TOUPPER "${name}" title)
  file(WRITE "${page}" ".TH ${title} 1 \"${DATE}\" \"DriveTune ${VERSION}\" \"User Commands\"\n${text}")
endif()

execute_process(COMMAND gzip -9n -f "${page}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gzip failed for ${page}")
endif()
file(RENAME "${page}.gz" "${OUTPUT}")
