# The engine input file written from the production database as a setup
# record binds it (host/input_writer.h). No user interface: the host
# application and its command line both use it.
add_library(zelba_input_writer STATIC ${CMAKE_CURRENT_LIST_DIR}/input_writer.cpp)
target_include_directories(zelba_input_writer PUBLIC ${PROJECT_SOURCE_DIR})
# zelba_model gives the engine's date rules and keyword tables, so that the
# file names methods and fluids exactly as the engine reads them.
target_link_libraries(zelba_input_writer PUBLIC zelba_host_store PRIVATE zelba_model)
