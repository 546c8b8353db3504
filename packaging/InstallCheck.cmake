# Run by ctest: cmake --install into a scratch prefix, then check the installed files.
# In: BUILD_DIR, PREFIX, EXPECTED and EXECUTABLES ("|"-separated paths under PREFIX), BINDIR.
string(REPLACE "|" ";" EXPECTED "${EXPECTED}")
string(REPLACE "|" ";" EXECUTABLES "${EXECUTABLES}")

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install-check: cmake --install failed (${rc}):\n${out}${err}")
endif()

set(missing "")
foreach(path IN LISTS EXPECTED)
  if(NOT EXISTS "${PREFIX}/${path}" OR IS_DIRECTORY "${PREFIX}/${path}")
    list(APPEND missing "${path}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "install-check: not installed: ${missing}")
endif()

foreach(path IN LISTS EXECUTABLES)
  execute_process(COMMAND test -x "${PREFIX}/${path}" RESULT_VARIABLE notExecutable)
  if(NOT notExecutable EQUAL 0)
    message(FATAL_ERROR "install-check: not executable: ${path}")
  endif()
endforeach()

# The helper belongs in libexec only: a copy in bin would be found first and hide a wrong layout.
if(EXISTS "${PREFIX}/${BINDIR}/pjlhelper")
  message(FATAL_ERROR "install-check: pjlhelper was installed into ${BINDIR}")
endif()

# The installed tool finds the installed helper on its own: listing devices runs it, and a tool
# that looked in bin instead would have the shell report that path as missing.
execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=BRELMONT_RESOURCE_DIR
                        "${PREFIX}/${BINDIR}/brelmont-cli" devices
                TIMEOUT 60 RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(err MATCHES "${BINDIR}/pjlhelper" OR rc MATCHES "timeout")
  message(FATAL_ERROR "install-check: the installed brelmont-cli did not reach the installed pjlhelper (${rc}):\n${err}")
endif()

# Well-formed data files, where the tools to say so are at hand.
find_program(XMLLINT xmllint)
if(XMLLINT)
  foreach(path IN LISTS EXPECTED)
    if(path MATCHES "\\.(xml|svg)$")
      execute_process(COMMAND "${XMLLINT}" --noout "${PREFIX}/${path}" RESULT_VARIABLE bad ERROR_VARIABLE why)
      if(NOT bad EQUAL 0)
        message(FATAL_ERROR "install-check: ${path} is not well-formed XML:\n${why}")
      endif()
    endif()
  endforeach()
endif()
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  foreach(path IN LISTS EXPECTED)
    if(path MATCHES "\\.desktop$")
      execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${PREFIX}/${path}" RESULT_VARIABLE bad OUTPUT_VARIABLE why ERROR_VARIABLE why)
      if(NOT bad EQUAL 0)
        message(FATAL_ERROR "install-check: ${path} does not validate:\n${why}")
      endif()
    endif()
  endforeach()
endif()

file(REMOVE_RECURSE "${PREFIX}")
message(STATUS "install-check: ${PREFIX} held every expected file")
