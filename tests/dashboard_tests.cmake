# The dashboard page: its document and escaping (dashboard_test), and the page
# itself in a headless browser on the example and on a 10,000-well field.
zelba_add_test(dashboard_test ${CMAKE_CURRENT_LIST_DIR}/dashboard_test.cpp)
target_link_libraries(dashboard_test PRIVATE nlohmann_json::nlohmann_json)

add_test(NAME dashboard_in_browser
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/dashboard_browser_test.sh $<TARGET_FILE:ba-engine>
          $<TARGET_FILE:make_field> ${CMAKE_CURRENT_LIST_DIR}/../examples/north_field.ba)
set_tests_properties(dashboard_in_browser PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
