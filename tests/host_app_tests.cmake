# The host application: its records and workflow over demo databases (the
# library and `zelba-host run`), and its window on Qt's offscreen platform.
zelba_add_test(host_workflow_test host_workflow_test.cpp)
target_link_libraries(host_workflow_test PRIVATE zelba_host_workflow zelba_host_store)
target_compile_definitions(host_workflow_test PRIVATE
  ZELBA_HOSTDB_PATH="$<TARGET_FILE:zelba-hostdb>")
add_dependencies(host_workflow_test zelba-hostdb zelba-host)

if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/host_window_test.cpp)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  zelba_add_test(host_window_test host_window_test.cpp)
  target_link_libraries(host_window_test PRIVATE zelba_host_app Qt6::Test)
  target_compile_definitions(host_window_test PRIVATE
    ZELBA_HOSTDB_PATH="$<TARGET_FILE:zelba-hostdb>")
  add_dependencies(host_window_test zelba-hostdb)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/results_view_tests.cmake)
