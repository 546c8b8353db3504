# Run by ctest: makes the Debian package with cpack, checks its file list (everything expected, and
# nothing else: no test program or simulator), its dependencies and the udev rule, then unpacks it
# and runs the unpacked brelmont-cli far enough to see that it finds the unpacked pjlhelper.
# In: BUILD_DIR, WORK, EXPECTED ("|"-separated paths the package holds, relative to /).
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" EXPECTED "${EXPECTED}")

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND cpack -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(GLOB debs "${WORK}/*.deb")
if(NOT rc EQUAL 0 OR NOT debs)
  message(FATAL_ERROR "package-check: cpack failed (${rc}):\n${out}${err}")
endif()
list(GET debs 0 deb)

# The file list: every expected file, and no other file.
execute_process(COMMAND dpkg-deb --contents "${deb}" OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "package-check: dpkg-deb cannot read ${deb}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(files "")
foreach(entry IN LISTS lines)
  if(entry MATCHES "^-[^ ]+ [^ ]+ +[0-9]+ [^ ]+ [^ ]+ \\./(.*)$")
    list(APPEND files "${CMAKE_MATCH_1}")
  endif()
endforeach()
foreach(path IN LISTS EXPECTED)
  if(NOT path IN_LIST files)
    message(FATAL_ERROR "package-check: ${path} is not in the package:\n${listing}")
  endif()
endforeach()
foreach(path IN LISTS files)
  if(NOT path IN_LIST EXPECTED)
    message(FATAL_ERROR "package-check: the package holds ${path}, which does not belong there")
  endif()
endforeach()
foreach(program IN ITEMS usr/libexec/brelmont-companion/pjlhelper usr/lib/cups/filter/brelmont-filter)
  # The scheduler runs a filter only when root owns it and no one else may write it.
  if(NOT listing MATCHES "-rwxr-xr-x root/root [^\n]* \\./${program}\n")
    message(FATAL_ERROR "package-check: ${program} is not an executable of root's:\n${listing}")
  endif()
endforeach()

execute_process(COMMAND dpkg-deb --field "${deb}" Depends OUTPUT_VARIABLE depends)
if(NOT depends MATCHES "cups-client" OR NOT depends MATCHES "libusb-1.0" OR NOT depends MATCHES "liblouis")
  message(FATAL_ERROR "package-check: dependencies lack the printing tools, libusb or liblouis: ${depends}")
endif()

execute_process(COMMAND dpkg-deb -x "${deb}" "${WORK}/root" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "package-check: dpkg-deb -x failed")
endif()
file(READ "${WORK}/root/usr/lib/udev/rules.d/70-brelmont-embossers.rules" rule)
if(NOT rule MATCHES "ATTR\\{manufacturer\\}==\"Brelmont\"[^\n]*TAG\\+=\"uaccess\"")
  message(FATAL_ERROR "package-check: the udev rule does not give the seat's user the maker's embossers:\n${rule}")
endif()

# The unpacked tool finds the unpacked helper on its own (nothing points it there).
execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=BRELMONT_RESOURCE_DIR BRELMONT_DEVICES=
                        "${WORK}/root/usr/bin/brelmont-cli" doctor
                TIMEOUT 120 OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT out MATCHES "ok: device helper: ${WORK}/root/usr/libexec/brelmont-companion/pjlhelper runs")
  message(FATAL_ERROR "package-check: the unpacked brelmont-cli did not run the unpacked pjlhelper:\n${out}${err}")
endif()

# Well-formed data files, where the tools to say so are at hand.
find_program(XMLLINT xmllint)
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
foreach(path IN LISTS EXPECTED)
  if(XMLLINT AND path MATCHES "\\.(xml|svg)$")
    execute_process(COMMAND "${XMLLINT}" --noout "${WORK}/root/${path}" RESULT_VARIABLE bad ERROR_VARIABLE why)
  elseif(DESKTOP_FILE_VALIDATE AND path MATCHES "\\.desktop$")
    execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${WORK}/root/${path}" RESULT_VARIABLE bad OUTPUT_VARIABLE why ERROR_VARIABLE why)
  else()
    continue()
  endif()
  if(NOT bad EQUAL 0)
    message(FATAL_ERROR "package-check: ${path} does not validate:\n${why}")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
message(STATUS "package-check: ${deb} holds what it should, and its brelmont-cli finds its pjlhelper")
