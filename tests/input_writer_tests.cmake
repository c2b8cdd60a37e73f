# The engine input file written from a production database as a setup
# record binds it, and a run of the engine on the demo database's file.
zelba_add_test(input_writer_test input_writer_test.cpp)
target_link_libraries(input_writer_test PRIVATE zelba_input_writer zelba_host_store)
target_compile_definitions(input_writer_test PRIVATE
  ZELBA_HOSTDB_PATH="$<TARGET_FILE:zelba-hostdb>")
add_dependencies(input_writer_test zelba-hostdb)
