# The stand-in host's data services over a SQLite production database, and
# zelba-hostdb, the command that creates, fills and lists one.
find_package(SQLite3 REQUIRED)

add_library(zelba_host STATIC
  ${CMAKE_CURRENT_LIST_DIR}/sqlite_db.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_database.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_data.cpp
)
target_include_directories(zelba_host PUBLIC ${PROJECT_SOURCE_DIR})
# zelba_model gives the host the split of a host date into its parts; the
# host's entities are the data-model classes of hostmodel/ (a target defined
# after this one, which CMake resolves by name).
target_link_libraries(zelba_host PUBLIC SQLite::SQLite3 zelba_hostmodel PRIVATE zelba_model)

add_executable(zelba-hostdb ${PROJECT_SOURCE_DIR}/apps/zelba_hostdb_main.cpp)
target_link_libraries(zelba-hostdb PRIVATE zelba_host)
set_target_properties(zelba-hostdb PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
