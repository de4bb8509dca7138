# Seeds a data folder with the sample universe without touching what is
# already there (`kelvmap-cli seed`: each export the folder lacks is copied in,
# and the exports are imported only when the folder holds none of the table
# files, so a user's own exports and tables are never replaced).
#
#   cmake -DSAMPLE_DIR=... -DDATA_DIR=... -DCLI=.../kelvmap-cli -P seed-data.cmake
cmake_minimum_required(VERSION 3.25)

foreach(var SAMPLE_DIR DATA_DIR CLI)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "seed-data: ${var} is not given")
  endif()
endforeach()

execute_process(COMMAND "${CLI}" seed "${DATA_DIR}" "${SAMPLE_DIR}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  # The exports may be the user's own: a bad line in them is theirs to mend
  # and does not stop the build.
  message(WARNING "seed-data: kelvmap-cli seed ${DATA_DIR} failed (${result}); the tables are incomplete")
endif()
