# The release archive as a Far user gets it: built with CPack, listed, unpacked into a fresh
# folder, and the unpacked module run by farhost.exe under Wine with the shipped configuration.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DARCHIVE=... -DCPACK=... -DWINE_RUN=... -DFARHOST=...
#         -DSCENARIOS=... -DWORK=... -P ReleaseTest.cmake
# ARCHIVE is the file CPack makes: the 32-bit or the 64-bit (x64) archive of this build.
foreach(variable BUILD_DIR SOURCE_DIR ARCHIVE CPACK WINE_RUN FARHOST SCENARIOS WORK)
  if(NOT ${variable})
    message(FATAL_ERROR "ReleaseTest.cmake needs -D${variable}=...")
  endif()
endforeach()

# Builds the archive afresh, so that the test sees what the packaging rules make now.
set(archive "${ARCHIVE}")
file(REMOVE "${archive}")
execute_process(COMMAND "${CPACK}" -G ZIP WORKING_DIRECTORY "${BUILD_DIR}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS "${archive}")
  message(FATAL_ERROR "cpack -G ZIP failed (${result}), or made no ${archive}:\n${output}")
endif()

# Exactly the module, its language and help files, the readme and the shipped types.
set(expected Kilnrun/Kilnrun.dll Kilnrun/KilnrunEng.hlf Kilnrun/KilnrunEng.lng Kilnrun/KilnrunRus.hlf
             Kilnrun/KilnrunRus.lng Kilnrun/README-formats.md Kilnrun/Readme.txt)
file(GLOB types RELATIVE "${SOURCE_DIR}/dist/Types" "${SOURCE_DIR}/dist/Types/*.ini")
foreach(type ${types})
  list(APPEND expected "Kilnrun/Types/${type}")
endforeach()
list(SORT expected)
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${archive}"
                RESULT_VARIABLE result OUTPUT_VARIABLE listing ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot list ${archive}: ${error}")
endif()
string(REPLACE "\n" ";" listing "${listing}")
set(files)
foreach(entry ${listing})
  if(NOT entry STREQUAL "" AND NOT entry MATCHES "/$")  # folders are no files
    list(APPEND files "${entry}")
  endif()
endforeach()
list(SORT files)
if(NOT files STREQUAL expected)
  set(extra ${files})
  list(REMOVE_ITEM extra ${expected})
  set(missing ${expected})
  list(REMOVE_ITEM missing ${files})
  message(FATAL_ERROR "${archive} holds other files than expected.\n"
                      "  not expected: ${extra}\n  missing: ${missing}")
endif()
list(LENGTH files count)
message(STATUS "${archive}: the ${count} expected files")

# Fresh folders: the unpacked archive, and a copy of the scenarios (the module saves files).
set(unpacked "${WORK}/unpacked")
set(scratch "${WORK}/scenarios")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${unpacked}" "${scratch}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${archive}" WORKING_DIRECTORY "${unpacked}"
                RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0 OR NOT EXISTS "${unpacked}/Kilnrun/Kilnrun.dll")
  message(FATAL_ERROR "cannot unpack ${archive}: ${error}")
endif()
file(COPY "${SCENARIOS}/" DESTINATION "${scratch}")

file(GLOB scripts "${scratch}/*.farhost")
if(NOT scripts)
  message(FATAL_ERROR "no scenarios in ${SCENARIOS}")
endif()
foreach(script ${scripts})
  get_filename_component(name "${script}" NAME_WE)
  execute_process(
    COMMAND "${WINE_RUN}" "${FARHOST}" --module "${unpacked}/Kilnrun/Kilnrun.dll"
            --output "${scratch}/${name}.transcript" "${script}"
    WORKING_DIRECTORY "${scratch}"
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the scenario ${name} failed against the unpacked module (${result}):\n${error}"
                        "(transcript: ${scratch}/${name}.transcript)")
  endif()
  message(STATUS "scenario ${name}: passed against ${unpacked}/Kilnrun/Kilnrun.dll")
endforeach()
