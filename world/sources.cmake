set(MURINEX_WORLD_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/input_ranges.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inside.cpp
  ${CMAKE_CURRENT_LIST_DIR}/terrain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_reader.cpp
)
