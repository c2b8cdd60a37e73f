# The report viewer. What it shows is taken from the run by plain code
# (zelba_report_view, no user interface), so that a run can hand it over
# without loading Qt; the dialog itself is a module of its own.
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)

add_library(zelba_report_view STATIC ${CMAKE_CURRENT_LIST_DIR}/report_view_data.cpp)
target_link_libraries(zelba_report_view PUBLIC zelba_output)

# The module's resources (dialog forms, the tree's bitmap, the module's
# texts) compiled into one collection and embedded in the library, to be
# registered at run time by the host's initialisation call.
set(ZELBA_RESOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/resources)
set(ZELBA_RESOURCE_OUT ${PROJECT_BINARY_DIR}/resources)
file(GLOB_RECURSE ZELBA_RESOURCE_FILES CONFIGURE_DEPENDS
  ${ZELBA_RESOURCE_DIR}/forms/* ${ZELBA_RESOURCE_DIR}/bitmaps/* ${ZELBA_RESOURCE_DIR}/*.json)
add_custom_command(OUTPUT ${ZELBA_RESOURCE_OUT}/module.rcc
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ZELBA_RESOURCE_OUT}
  COMMAND Qt6::rcc --binary -o ${ZELBA_RESOURCE_OUT}/module.rcc ${ZELBA_RESOURCE_DIR}/module.qrc
  DEPENDS ${ZELBA_RESOURCE_DIR}/module.qrc ${ZELBA_RESOURCE_FILES}
  COMMENT "Compiling the module's resources")
add_custom_command(OUTPUT ${ZELBA_RESOURCE_OUT}/module_resource_data.cpp
  COMMAND ${CMAKE_COMMAND} -DINPUT=${ZELBA_RESOURCE_OUT}/module.rcc
          -DOUTPUT=${ZELBA_RESOURCE_OUT}/module_resource_data.cpp -DNAME=kZelbaModuleResources
          -P ${ZELBA_RESOURCE_DIR}/embed.cmake
  DEPENDS ${ZELBA_RESOURCE_OUT}/module.rcc ${ZELBA_RESOURCE_DIR}/embed.cmake)

add_library(zelba_viewer SHARED
  ${CMAKE_CURRENT_LIST_DIR}/report_viewer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/report_viewer.h
  ${CMAKE_CURRENT_LIST_DIR}/module_resources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module_resources.h
  ${ZELBA_RESOURCE_OUT}/module_resource_data.cpp)
target_link_libraries(zelba_viewer PUBLIC zelba_report_view zelba_host_ui zelba_output Qt6::Widgets)
set_target_properties(zelba_viewer PROPERTIES AUTOMOC ON)

# ba-engine --view takes the viewer's data from the run and loads the viewer
# module only then: the program itself links no Qt.
target_link_libraries(ba-engine PRIVATE zelba_report_view ${CMAKE_DL_LIBS})
target_compile_definitions(ba-engine PRIVATE
  ZELBA_VIEWER_MODULE="$<TARGET_FILE_NAME:zelba_viewer>")
add_dependencies(ba-engine zelba_viewer)
