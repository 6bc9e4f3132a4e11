# Lays out a fresh copy of a scenario's folder, so that saves in the scenario never touch the
# source tree: cmake -DSOURCE=folder -DSCRATCH=folder -P PrepareScenario.cmake
if(NOT SOURCE OR NOT SCRATCH)
  message(FATAL_ERROR "PrepareScenario.cmake needs -DSOURCE=... and -DSCRATCH=...")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(COPY "${SOURCE}/" DESTINATION "${SCRATCH}")
