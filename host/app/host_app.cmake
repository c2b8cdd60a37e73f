# zelba-host, the host application: its window over the production
# database (Qt 6 Widgets, the review's charts in Qt Charts) and its
# command line. It loads the module, libZelBA.so, at run time and reaches it
# through its exported entries only; ba-engine reviews each run.
find_package(Qt6 REQUIRED COMPONENTS Widgets Charts)
include(${CMAKE_CURRENT_LIST_DIR}/results_view.cmake)

add_library(zelba_host_app STATIC
  ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window.h
)
target_include_directories(zelba_host_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zelba_host_app
  PUBLIC zelba_host_workflow zelba_results_view zelba_host Qt6::Widgets)
set_target_properties(zelba_host_app PROPERTIES AUTOMOC ON)

add_executable(zelba-host ${PROJECT_SOURCE_DIR}/apps/zelba_host_main.cpp)
target_link_libraries(zelba-host PRIVATE zelba_host_app)
set_target_properties(zelba-host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
# The module and the engine program are found beside the application.
add_dependencies(zelba-host ZelBA ba-engine)
