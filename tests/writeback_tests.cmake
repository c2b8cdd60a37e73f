# The writeback of a load file into the production database: hand-written
# load files over temporary databases, and the demo field's round trip
# through the engine.
zelba_add_test(writeback_test writeback_test.cpp)
target_link_libraries(writeback_test PRIVATE zelba_writeback zelba_host_store)
target_compile_definitions(writeback_test PRIVATE
  ZELBA_HOSTDB_PATH="$<TARGET_FILE:zelba-hostdb>")
add_dependencies(writeback_test zelba-hostdb)
