# The host's user-interface services: the file choosers the setup sheet asks
# for paths with, and the rich-edit control the report viewer shows pages in.
# A shared library: the module, the viewer and the programs use one set of
# services (and of test seams); a real host puts its own in its place.
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
add_library(zelba_host_ui SHARED
  ${CMAKE_CURRENT_LIST_DIR}/host_ui.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_ui.h)
target_include_directories(zelba_host_ui PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zelba_host_ui PUBLIC Qt6::Widgets Qt6::PrintSupport)
set_target_properties(zelba_host_ui PROPERTIES AUTOMOC ON)
set_target_properties(zelba_host_ui PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
