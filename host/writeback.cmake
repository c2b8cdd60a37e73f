# The writeback: a run's load file read back into the production database's
# bound writeback columns, in one transaction. No user interface.
add_library(zelba_writeback STATIC
  ${CMAKE_CURRENT_LIST_DIR}/writeback.cpp
  ${CMAKE_CURRENT_LIST_DIR}/writeback.h
)
target_include_directories(zelba_writeback PUBLIC ${PROJECT_SOURCE_DIR})
# zelba_model: the date rules and the fluid names of the engine.
target_link_libraries(zelba_writeback PUBLIC zelba_host_store PRIVATE zelba_model)
