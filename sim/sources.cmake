# tick/: one tick of the run and what it does besides the mice's turns (births
# and deaths, statistics rows, chart lines). persistence/: what is written and
# read back (population and genome dumps, checkpoints, life records, the table
# of every mouse). checks/: every_tick runs after each tick in every build;
# validation_build only where MURINEX_VALIDATE is on (the sanitizer build).
set(MURINEX_SIM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/overrides.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tick/birth_death.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tick/charts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tick/statistics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tick/tick.cpp
  ${CMAKE_CURRENT_LIST_DIR}/persistence/checkpoint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/persistence/checkpoint_mouse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/persistence/life_records.cpp
  ${CMAKE_CURRENT_LIST_DIR}/persistence/mouse_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/persistence/population_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/persistence/state_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/checks/every_tick.cpp
  ${CMAKE_CURRENT_LIST_DIR}/checks/validation_build.cpp
)
