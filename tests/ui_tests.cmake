# The user interface: the report viewer and the host's user-interface
# services, on Qt's offscreen platform (the test sets it when it is unset).
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
zelba_add_test(report_viewer_test report_viewer_test.cpp)
target_link_libraries(report_viewer_test PRIVATE zelba_viewer zelba_host_ui zelba_report_view
                      Qt6::Widgets)

# The module as a host loads it: its resources and when it opens the viewer.
zelba_add_test(module_ui_test module_ui_test.cpp)
target_link_libraries(module_ui_test PRIVATE zelba_viewer Qt6::Widgets)

# ba-engine --view on a machine without a display: the run and its outputs
# as always, a plain word that the report was not shown, and no wait.
add_test(NAME ba_engine_view_without_display
  COMMAND bash -c "dir=$(mktemp -d) && cp \"$1\" \"$dir\"/ && cd \"$dir\" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \"$0\" --view --quiet north_field.ba 2>err; status=$?; test $status = 0 && test -s north_field.prn && test -s north_field_load.txt && grep -q 'needs a display' err; ok=$?; rm -rf \"$dir\"; exit $ok"
          $<TARGET_FILE:ba-engine> ${PROJECT_SOURCE_DIR}/examples/north_field.ba)
set_tests_properties(ba_engine_view_without_display PROPERTIES TIMEOUT 60)

# The setup sheet over a temporary production database.
zelba_add_test(setup_test setup_test.cpp)
target_link_libraries(setup_test PRIVATE zelba_setup zelba_host zelba_host_store Qt6::Widgets)

# ba-setup as a person runs it, on a virtual display.
add_test(NAME ba_setup_on_a_display
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/ba_setup_xvfb_test.sh $<TARGET_FILE:ba-setup>
          $<TARGET_FILE:zelba-hostdb>)
set_tests_properties(ba_setup_on_a_display PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
