# The report viewer. What it shows is taken from the run by plain code
# (zelba_report_view, no user interface), so that a run can hand it over
# without loading Qt; the dialog itself is a module of its own.
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)

add_library(zelba_report_view STATIC ${CMAKE_CURRENT_LIST_DIR}/report_view_data.cpp)
target_link_libraries(zelba_report_view PUBLIC zelba_output)

add_library(zelba_viewer SHARED
  ${CMAKE_CURRENT_LIST_DIR}/report_viewer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/report_viewer.h)
target_link_libraries(zelba_viewer PUBLIC zelba_report_view zelba_host_ui zelba_output Qt6::Widgets)
set_target_properties(zelba_viewer PROPERTIES AUTOMOC ON)

# ba-engine --view takes the viewer's data from the run and loads the viewer
# module only then: the program itself links no Qt.
target_link_libraries(ba-engine PRIVATE zelba_report_view ${CMAKE_DL_LIBS})
target_compile_definitions(ba-engine PRIVATE
  ZELBA_VIEWER_MODULE="$<TARGET_FILE_NAME:zelba_viewer>")
add_dependencies(ba-engine zelba_viewer)
