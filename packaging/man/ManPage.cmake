# Writes the gzipped manual page of a command-line program (cmake -P).
#   PROGRAM   the built program
#   INCLUDE   hand-written sections in help2man's include format
#   OUTPUT    the .1.gz to write
#   VERSION   the project's version; HELP2MAN the tool or empty; DATE the page's date
# With help2man and a program that answers --version, the options come from its --help.
# Otherwise the page is made from the include file alone, with the --help text as the options,
# so a build never fails for want of help2man or of a program's --version.
cmake_minimum_required(VERSION 3.25)
get_filename_component(name "${PROGRAM}" NAME)
set(page "${OUTPUT}.tmp")
file(REMOVE "${page}")

execute_process(COMMAND "${PROGRAM}" --version TIMEOUT 10
  RESULT_VARIABLE rc OUTPUT_VARIABLE version_text ERROR_QUIET)
if(HELP2MAN AND rc EQUAL 0 AND version_text MATCHES "${VERSION}")
  execute_process(COMMAND "${HELP2MAN}" --no-info --section=1 --include=${INCLUDE}
    --source=DriveTune --version-string=${VERSION} --output=${page} "${PROGRAM}"
    TIMEOUT 30 RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(NOT rc EQUAL 0)
    file(REMOVE "${page}")
  endif()
endif()

if(NOT EXISTS "${page}")
  execute_process(COMMAND "${PROGRAM}" --help TIMEOUT 10
    RESULT_VARIABLE rc OUTPUT_VARIABLE help ERROR_QUIET)
  string(TOUPPER "${name}" title)
  file(READ "${INCLUDE}" text)
  # The options follow the description, as in help2man's pages.
  if(rc EQUAL 0 AND help)
    string(REPLACE "\\" "\\e" help "${help}")
    string(REPLACE "-" "\\-" help "${help}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
    string(REGEX MATCHALL "\\[[A-Z ]+\\]" headers "${text}")
    list(FILTER headers EXCLUDE REGEX "^\\[(NAME|SYNOPSIS|DESCRIPTION)\\]$")
    list(GET headers 0 after)
    string(FIND "${text}" "${after}" at)
    string(SUBSTRING "${text}" 0 ${at} head)
    string(SUBSTRING "${text}" ${at} -1 tail)
    set(text "${head}[OPTIONS]\n.nf\n${help}\n.fi\n${tail}")
  endif()
  string(REGEX REPLACE "(^|\n)\\[([A-Z ]+)\\]" "\\1.SH \\2" text "${text}")
  set(roff ".TH ${title} 1 \"${DATE}\" \"DriveTune ${VERSION}\" \"User Commands\"\n${text}")
  file(WRITE "${page}" "${roff}")
endif()

execute_process(COMMAND gzip -9n -f "${page}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gzip failed for ${page}")
endif()
file(RENAME "${page}.gz" "${OUTPUT}")
