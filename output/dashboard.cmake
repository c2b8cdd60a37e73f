# The dashboard page's scripts and styles, compiled into zelba_output so that
# the page it writes needs no other file: the vendored chart library and the
# page's own script and style, each embedded as a byte array by the same
# script that embeds the module's resources.
set(ZELBA_DASHBOARD_OUT ${PROJECT_BINARY_DIR}/dashboard)
set(ZELBA_DASHBOARD_EMBED ${CMAKE_CURRENT_LIST_DIR}/resources/embed.cmake)
set(ZELBA_DASHBOARD_SOURCES)
foreach(asset
    "vendor/uplot/uPlot.iife.min.js;kDashboardChartScript"
    "vendor/uplot/uPlot.min.css;kDashboardChartStyle"
    "dashboard_page.js;kDashboardPageScript"
    "dashboard_page.css;kDashboardPageStyle")
  list(GET asset 0 file)
  list(GET asset 1 name)
  set(generated ${ZELBA_DASHBOARD_OUT}/${name}.cpp)
  add_custom_command(OUTPUT ${generated}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZELBA_DASHBOARD_OUT}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${CMAKE_CURRENT_LIST_DIR}/${file}
            -DOUTPUT=${generated} -DNAME=${name} -P ${ZELBA_DASHBOARD_EMBED}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${file} ${ZELBA_DASHBOARD_EMBED}
    COMMENT "Embedding ${file} in the dashboard")
  list(APPEND ZELBA_DASHBOARD_SOURCES ${generated})
endforeach()
target_sources(zelba_output PRIVATE ${ZELBA_DASHBOARD_SOURCES})
