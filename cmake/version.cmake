cmake_minimum_required(VERSION 3.25)
# Writes OUTPUT, a header defining MURINEX_VERSION as `git describe` names the
# source tree in SOURCE_DIR (with -dirty for uncommitted changes). The file is
# only rewritten when the version changes, so nothing rebuilds needlessly.
execute_process(
  COMMAND git describe --always --dirty --tags
  WORKING_DIRECTORY ${SOURCE_DIR}
  OUTPUT_VARIABLE version
  OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE result
  ERROR_QUIET)
if(NOT result EQUAL 0 OR version STREQUAL "")
  set(version "unknown")
endif()
file(CONFIGURE OUTPUT ${OUTPUT}
  CONTENT "#pragma once\n#define MURINEX_VERSION \"@version@\"\n" @ONLY)
