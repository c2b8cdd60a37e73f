# The review pages of the host application: the diagnostics table and the
# charts of a run's results (Qt 6 Widgets and Charts), and the reader of the
# results JSON they show. zelba_model: the diagnostic kinds' names and titles.
find_package(Qt6 REQUIRED COMPONENTS Widgets Charts)
find_package(nlohmann_json 3 REQUIRED)
add_library(zelba_results_view STATIC
  ${CMAKE_CURRENT_LIST_DIR}/results_data.cpp
  ${CMAKE_CURRENT_LIST_DIR}/results_data.h
  ${CMAKE_CURRENT_LIST_DIR}/results_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/results_view.h)
target_include_directories(zelba_results_view PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zelba_results_view
  PUBLIC Qt6::Widgets Qt6::Charts
  PRIVATE zelba_model nlohmann_json::nlohmann_json)
set_target_properties(zelba_results_view PROPERTIES AUTOMOC ON)
