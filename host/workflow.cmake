# The host application's records in the database (setup records, the audit
# of runs) and its workflow: input file, run, review, writeback. No user
# interface: the window and `zelba-host run` both use it.
add_library(zelba_run_store STATIC
  ${CMAKE_CURRENT_LIST_DIR}/run_store.cpp
  ${CMAKE_CURRENT_LIST_DIR}/field_browser.cpp
)
target_include_directories(zelba_run_store PUBLIC ${PROJECT_SOURCE_DIR})
# zelba_input_writer: numbers shown as the input file writes them.
target_link_libraries(zelba_run_store PUBLIC zelba_host_store PRIVATE zelba_input_writer)

add_library(zelba_host_workflow STATIC ${CMAKE_CURRENT_LIST_DIR}/workflow.cpp)
target_include_directories(zelba_host_workflow PUBLIC ${PROJECT_SOURCE_DIR})
# zelba_model: the whole-file writer the engine's outputs use, for the input file.
target_link_libraries(zelba_host_workflow
  PUBLIC zelba_run_store zelba_input_writer zelba_writeback
  PRIVATE zelba_model nlohmann_json::nlohmann_json ${CMAKE_DL_LIBS})
