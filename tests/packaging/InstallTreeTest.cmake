# `cmake --install` into a scratch DESTDIR holds every file a desktop and a package need, and
# the desktop entry is valid and points at an installed program and icon.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${WORK_DIR}
                        ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${err}")
endif()
set(root "${WORK_DIR}/usr")

set(failures "")
foreach(path
    bin/drivetune bin/drivetune-cli bin/drivetune-sim
    share/applications/drivetune.desktop
    share/applications/drivetune-station.desktop
    share/mime/packages/drivetune.xml
    share/icons/hicolor/48x48/apps/drivetune.png
    share/icons/hicolor/128x128/apps/drivetune.png
    share/icons/hicolor/256x256/apps/drivetune.png
    share/icons/hicolor/scalable/apps/drivetune.svg
    share/man/man1/drivetune.1.gz share/man/man1/drivetune-cli.1.gz share/man/man1/drivetune-sim.1.gz
    share/bash-completion/completions/drivetune-cli
    share/doc/drivetune/README.md share/doc/drivetune/copyright share/doc/drivetune/changelog.gz)
  if(NOT EXISTS "${root}/${path}")
    string(APPEND failures "missing: /usr/${path}\n")
  endif()
endforeach()

# A page that does not unpack, or has no title line, is no page.
foreach(page drivetune drivetune-cli drivetune-sim)
  execute_process(COMMAND gzip -dc "${root}/share/man/man1/${page}.1.gz" OUTPUT_VARIABLE text ERROR_QUIET)
  if(NOT text MATCHES "\\.TH ")
    string(APPEND failures "man page of ${page} has no .TH line\n")
  endif()
endforeach()

file(READ "${root}/share/doc/drivetune/copyright" copyright)
if(NOT copyright MATCHES "License: Expat\n Permission is hereby granted" OR NOT copyright MATCHES "\n SOFTWARE\\.\n$")
  string(APPEND failures "copyright file does not hold the whole licence\n")
endif()

# The entry must name what is installed: ${...} expands before MATCHES runs, hence two steps.
file(STRINGS "${root}/share/applications/drivetune.desktop" entry)
foreach(line IN LISTS entry)
  set(wanted "")
  if(line MATCHES "^Exec=([^ ]+)")
    set(wanted "bin/${CMAKE_MATCH_1}")
  elseif(line MATCHES "^Icon=(.+)$")
    set(wanted "share/icons/hicolor/scalable/apps/${CMAKE_MATCH_1}.svg")
  endif()
  if(wanted AND NOT EXISTS "${root}/${wanted}")
    string(APPEND failures "desktop entry names /usr/${wanted}, which is not installed\n")
  endif()
endforeach()

# Every file type the entry opens is defined, and the definition builds into the MIME database
# a file manager reads.
file(READ "${root}/share/mime/packages/drivetune.xml" mime)
file(READ "${root}/share/applications/drivetune.desktop" desktop)
if(NOT desktop MATCHES "\nMimeType=([^\n]+)")
  string(APPEND failures "desktop entry opens no file type\n")
endif()
foreach(type ${CMAKE_MATCH_1})
  if(NOT mime MATCHES "type=\"${type}\"")
    string(APPEND failures "desktop entry opens ${type}, which drivetune.xml does not define\n")
  endif()
endforeach()
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME)
  execute_process(COMMAND ${UPDATE_MIME} "${root}/share/mime" RESULT_VARIABLE rc ERROR_VARIABLE out)
  file(READ "${root}/share/mime/globs2" globs)
  if(NOT rc EQUAL 0 OR NOT globs MATCHES "application/x-drivetune-foc:\\*\\.foc" OR
     NOT globs MATCHES "application/x-drivetune-ged:\\*\\.ged")
    string(APPEND failures "update-mime-database: ${out}\n")
  endif()
else()
  message(STATUS "update-mime-database not installed: the file types are not built")
endif()

find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  foreach(entry drivetune drivetune-station)
    execute_process(COMMAND ${VALIDATE} "${root}/share/applications/${entry}.desktop"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0 OR out MATCHES "error|warning")
      string(APPEND failures "desktop-file-validate ${entry}: ${out}\n")
    endif()
  endforeach()
else()
  message(STATUS "desktop-file-validate not installed: the entry's syntax is not checked")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
