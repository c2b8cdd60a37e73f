# The review pages of the host application: the reader of the results JSON,
# the charts' series, and the widgets on Qt's offscreen platform.
find_package(GTest REQUIRED)
include(GoogleTest)
add_executable(results_view_test ${CMAKE_CURRENT_LIST_DIR}/results_view_test.cpp)
target_link_libraries(results_view_test PRIVATE zelba_results_view GTest::gtest GTest::gtest_main)
gtest_discover_tests(results_view_test DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
