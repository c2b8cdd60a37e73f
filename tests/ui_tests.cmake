# The user interface: the report viewer and the host's user-interface
# services, on Qt's offscreen platform (the test sets it when it is unset).
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
zelba_add_test(report_viewer_test report_viewer_test.cpp)
target_link_libraries(report_viewer_test PRIVATE zelba_viewer zelba_host_ui zelba_report_view
                      Qt6::Widgets)

# The module as a host loads it: its resources and when it opens the viewer.
zelba_add_test(module_ui_test module_ui_test.cpp)
target_link_libraries(module_ui_test PRIVATE zelba_viewer Qt6::Widgets)
