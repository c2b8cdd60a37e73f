# The stand-in host's data services over a SQLite production database, and
# zelba-hostdb, the command that creates, fills and lists one.
find_package(SQLite3 REQUIRED)

# The production database itself: the SQLite wrapper, the schema, reading
# and writing rows. zelba-hostdb and the tests write databases with it.
add_library(zelba_host_store STATIC
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_db.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_database.cpp
)
target_include_directories(zelba_host_store PUBLIC ${PROJECT_SOURCE_DIR})
# zelba_model gives the host the split of a host date into its parts.
target_link_libraries(zelba_host_store PUBLIC SQLite::SQLite3 PRIVATE zelba_model)

# The host's services as the module calls them, a shared library of their
# own: a real host puts its own library in its place. The host's entities
# are the data-model classes of hostmodel/ (a target defined after this one,
# which CMake resolves by name).
add_library(zelba_host SHARED ${CMAKE_CURRENT_LIST_DIR}/host_data.cpp)
target_include_directories(zelba_host PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zelba_host PUBLIC zelba_hostmodel PRIVATE zelba_host_store zelba_model)

add_executable(zelba-hostdb ${PROJECT_SOURCE_DIR}/apps/zelba_hostdb_main.cpp)
# zelba_run_store: the demo's ready setup record.
target_link_libraries(zelba-hostdb PRIVATE zelba_host_store zelba_run_store)
set_target_properties(zelba-hostdb PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
# The host's libraries stand beside the module, as a host installs them.
set_target_properties(zelba_host PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
