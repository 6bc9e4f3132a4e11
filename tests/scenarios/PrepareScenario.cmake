# Lays out a fresh copy of a scenario's folder, so that saves in the scenario never touch the
# source tree:
#   cmake -DSOURCE=folder -DSCRATCH=folder [-DMODULE=file -DMODULE_COPY=folder -DTYPES=folder]
#         -P PrepareScenario.cmake
# With MODULE, the module and the language files beside it are copied to MODULE_COPY, with
# TYPES as its Types folder, so that the scenario alone decides the module's configuration.
if(NOT SOURCE OR NOT SCRATCH)
  message(FATAL_ERROR "PrepareScenario.cmake needs -DSOURCE=... and -DSCRATCH=...")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(COPY "${SOURCE}/" DESTINATION "${SCRATCH}")

if(MODULE)
  file(REMOVE_RECURSE "${MODULE_COPY}")
  file(MAKE_DIRECTORY "${MODULE_COPY}/Types")
  get_filename_component(module_folder "${MODULE}" DIRECTORY)
  file(GLOB languages "${module_folder}/*.lng")
  file(COPY "${MODULE}" ${languages} DESTINATION "${MODULE_COPY}")
  if(TYPES)
    file(COPY "${TYPES}/" DESTINATION "${MODULE_COPY}/Types")
  endif()
endif()
