# Installs the build into a scratch prefix as the README says, then checks
# what a user gets: the four programs in bin/, the README where the programs
# look for it, valid menu entries that start installed programs, and that
# the installed programs run and find what they ship.
# Called with -DBUILD_DIR=... -DPREFIX=... -DPROBE=... -DSOURCE_DIR=...

set(failed FALSE)
macro(fail text)
  message(SEND_ERROR "${text}")
  set(failed TRUE)
endmacro()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}")
endif()

set(entries tarsel-post32 tarsel-postp tarsel-posta)
foreach(file bin/post32 bin/postp bin/posta bin/tarsel-mkdata share/tarsel/README.md
             share/tarsel/docs/post32-main.png)
  if(NOT EXISTS "${PREFIX}/${file}")
    fail("not installed: ${file}")
  endif()
endforeach()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${SOURCE_DIR}/README.md"
                        "${PREFIX}/share/tarsel/README.md" RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  fail("the installed README is not the project's")
endif()

find_program(VALIDATE desktop-file-validate)
if(NOT VALIDATE)
  message(FATAL_ERROR "desktop-file-validate is missing: scripts/install-deps.sh installs desktop-file-utils")
endif()
set(started "")
foreach(entry IN LISTS entries)
  set(path "${PREFIX}/share/applications/${entry}.desktop")
  if(NOT EXISTS "${path}")
    fail("no menu entry ${entry}.desktop")
    continue()
  endif()
  execute_process(COMMAND "${VALIDATE}" "${path}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
    fail("${entry}.desktop is not valid:\n${out}")
  endif()
  file(STRINGS "${path}" exec REGEX "^Exec=")
  string(REGEX REPLACE "^Exec=([^ ]*).*" "\\1" program "${exec}")
  if(NOT EXISTS "${PREFIX}/bin/${program}")
    fail("${entry}.desktop starts '${program}', which is not installed")
  endif()
  list(APPEND started "${program}")
endforeach()
list(SORT started)
if(NOT started STREQUAL "post32;posta;postp")
  fail("the menu entries start ${started}, not post32, postp and posta")
endif()

# A program in the prefix's bin/ finds the README in ../share/tarsel/, also
# when no system data folder holds one.
file(COPY "${PROBE}" DESTINATION "${PREFIX}/bin")
get_filename_component(probe "${PROBE}" NAME)
execute_process(COMMAND "${CMAKE_COMMAND}" -E env "XDG_DATA_DIRS=${PREFIX}/nowhere" "${PREFIX}/bin/${probe}" README.md
                RESULT_VARIABLE rc OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT rc EQUAL 0 OR found STREQUAL "")
  fail("an installed program does not find README.md (${rc})")
else()
  file(REAL_PATH "${found}" found)
  file(REAL_PATH "${PREFIX}/share/tarsel/README.md" expected)
  if(NOT found STREQUAL expected)
    fail("an installed program finds README.md at ${found}, not ${expected}")
  endif()
endif()

# The installed tool runs from the prefix alone.
execute_process(COMMAND "${PREFIX}/bin/tarsel-mkdata" "${PREFIX}/data/" RESULT_VARIABLE rc ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT EXISTS "${PREFIX}/data/NODES.DBF")
  fail("the installed tarsel-mkdata did not make a data folder (${rc}):\n${out}")
endif()

# The prefix holds a copy of every program: kept only to look at a failure.
if(NOT failed)
  file(REMOVE_RECURSE "${PREFIX}")
endif()
