# Tests of the stand-in host (SQLite production database and host services).
include(${CMAKE_CURRENT_LIST_DIR}/host_db_tests.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/hostmodel_tests.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/ui_tests.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/input_writer_tests.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/writeback_tests.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/host_app_tests.cmake OPTIONAL)
