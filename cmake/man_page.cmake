# Writes OUTPUT, the gzipped man page of PROGRAM made by help2man from its --help.
# The program is put into STAGE/bin under its installed name and started by that
# name, so the page shows `murinex-run`, never a path of the build folder. A
# script is copied (it finds the workflow relative to itself); a compiled program
# needs only its name, and a link gives it that.
file(MAKE_DIRECTORY ${STAGE}/bin ${STAGE}/share/murinex)
if(NOT EXISTS ${STAGE}/share/murinex/workflow)
  file(CREATE_LINK ${WORKFLOW} ${STAGE}/share/murinex/workflow SYMBOLIC)
endif()
set(staged ${STAGE}/bin/${PROGRAM})
file(REMOVE ${staged})
file(READ ${SOURCE} start LIMIT 2)
if(start MATCHES "^#!")
  file(COPY_FILE ${SOURCE} ${staged})
  file(CHMOD ${staged} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
       WORLD_READ WORLD_EXECUTE)
else()
  file(CREATE_LINK ${SOURCE} ${staged} SYMBOLIC)
endif()
set(ENV{PATH} "${STAGE}/bin:$ENV{PATH}")
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{PYTHONDONTWRITEBYTECODE} 1)
get_filename_component(folder ${OUTPUT} DIRECTORY)
set(page ${folder}/${PROGRAM}.1)
execute_process(
  COMMAND ${HELP2MAN} --no-info --version-string=${VERSION} --name=${SUMMARY} --output=${page} ${PROGRAM}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "help2man could not make the man page of ${PROGRAM} from its --help")
endif()
execute_process(COMMAND gzip -9n -c ${page} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "gzip could not compress ${page}")
endif()
