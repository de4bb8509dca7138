# The build's seeding of bin/Data (scripts/seed-data.cmake) adds only what is
# missing and never replaces or deletes a user's export or table.
#   cmake -DSEED=... -DSAMPLE_DIR=... -DCLI=... -DWORK=... -P SeedDataTest.cmake
cmake_minimum_required(VERSION 3.25)
file(GLOB exports RELATIVE ${SAMPLE_DIR} ${SAMPLE_DIR}/*.txt)

# check(TEXT CONDITION...): reports TEXT when the condition does not hold.
function(check text)
  if(NOT (${ARGN}))
    message(SEND_ERROR "FAILED: ${text}")
  endif()
endfunction()

function(seed dir)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSAMPLE_DIR=${SAMPLE_DIR} -DDATA_DIR=${dir} -DCLI=${CLI} -P ${SEED}
                  RESULT_VARIABLE result)
  check("seeding ${dir} ended with ${result}" result EQUAL 0)
endfunction()

# Number of records of a table file, from kelvmap-cli dump.
function(record_count table out)
  execute_process(COMMAND ${CLI} dump ${table} OUTPUT_VARIABLE text RESULT_VARIABLE result)
  string(REGEX MATCHALL "\n" lines "${text}")
  list(LENGTH lines count)
  math(EXPR count "${count} - 1")
  set(${out} ${count} PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})

# An empty folder gets the whole sample, imported. A second build restores a
# deleted export and leaves the tables as the user changed them.
set(dir ${WORK}/empty)
seed(${dir})
foreach(name IN LISTS exports)
  file(SHA256 ${SAMPLE_DIR}/${name} want)
  file(SHA256 ${dir}/${name} got)
  check("${name} is not the sample's" want STREQUAL got)
endforeach()
record_count(${dir}/Sectors.dat sectors)
check("the sample was not imported (${sectors} sectors)" sectors GREATER 3)
execute_process(COMMAND ${CLI} append ${dir}/Resources.dat Code=999 Name=Own)
file(SHA256 ${dir}/Resources.dat changed)
file(REMOVE ${dir}/fabs.txt)
seed(${dir})
check("a deleted export is not restored" EXISTS ${dir}/fabs.txt)
file(SHA256 ${dir}/Resources.dat after)
check("the user's Resources.dat was replaced" changed STREQUAL after)

# A user's own export is kept and is what gets imported; a link leading
# nowhere stays a link, and a failed import does not fail the build.
set(dir ${WORK}/own-export)
file(MAKE_DIRECTORY ${dir})
file(STRINGS ${SAMPLE_DIR}/sectors.txt lines LIMIT_COUNT 3)
list(JOIN lines "\n" own)
file(WRITE ${dir}/sectors.txt "${own}\n")
file(CREATE_LINK ${WORK}/nowhere ${dir}/fabs.txt SYMBOLIC)
seed(${dir})
file(READ ${dir}/sectors.txt kept)
set(want "${own}\n")
check("the user's sectors.txt was replaced" kept STREQUAL want)
record_count(${dir}/Sectors.dat sectors)
check("the user's sectors.txt was not imported (${sectors} sectors)" sectors EQUAL 3)
check("the user's link fabs.txt was replaced" IS_SYMLINK ${dir}/fabs.txt)
check("seeding wrote through the user's link" NOT EXISTS ${WORK}/nowhere)

# One table of the user's, whatever it holds, stops the import.
set(dir ${WORK}/own-table)
file(MAKE_DIRECTORY ${dir})
file(WRITE ${dir}/Sectors.dat "the user's own bytes")
seed(${dir})
file(READ ${dir}/Sectors.dat kept)
check("the user's Sectors.dat was replaced" kept STREQUAL "the user's own bytes")
check("tables were imported beside the user's Sectors.dat" NOT EXISTS ${dir}/Resources.dat)
check("the missing exports were not added" EXISTS ${dir}/resources.txt)
