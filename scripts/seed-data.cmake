# Seeds a data folder with the sample universe without touching what is
# already there: each export of the sample that the folder lacks is copied in,
# and the exports are imported only when the folder holds none of the table
# files, so a user's own exports and tables are never replaced.
#
#   cmake -DSAMPLE_DIR=... -DDATA_DIR=... -DCLI=.../kelvmap-cli
#         "-DEXPORTS=sectors.txt|..." "-DTABLES=Sectors.dat|..." -P seed-data.cmake
#
# EXPORTS and TABLES are separated by "|" (the names hold spaces).
cmake_minimum_required(VERSION 3.25)

foreach(var SAMPLE_DIR DATA_DIR CLI EXPORTS TABLES)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "seed-data: ${var} is not given")
  endif()
endforeach()
string(REPLACE "|" ";" exports "${EXPORTS}")
string(REPLACE "|" ";" tables "${TABLES}")

# A name that is there in any form (a file, a folder, a link even when it
# leads nowhere) belongs to the user.
function(kelv_present path out)
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

file(MAKE_DIRECTORY "${DATA_DIR}")
foreach(name IN LISTS exports)
  kelv_present("${DATA_DIR}/${name}" present)
  if(NOT present)
    file(COPY_FILE "${SAMPLE_DIR}/${name}" "${DATA_DIR}/${name}")
    message(STATUS "seed-data: added ${DATA_DIR}/${name}")
  endif()
endforeach()

foreach(name IN LISTS tables)
  kelv_present("${DATA_DIR}/${name}" present)
  if(present)
    return()
  endif()
endforeach()

message(STATUS "seed-data: importing the exports of ${DATA_DIR}")
execute_process(COMMAND "${CLI}" import "${DATA_DIR}" RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  # The exports may be the user's own: a bad line in them is theirs to mend
  # and does not stop the build.
  message(WARNING "seed-data: kelvmap-cli import ${DATA_DIR} failed (${result}); the tables are incomplete")
endif()
