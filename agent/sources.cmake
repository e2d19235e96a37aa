set(MURINEX_AGENT_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/goal_memory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/maus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/names.cpp
  ${CMAKE_CURRENT_LIST_DIR}/population_files.cpp
)
