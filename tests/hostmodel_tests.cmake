# The host's data-model classes, and the entities the stand-in host fills
# from a temporary production database.
zelba_add_test(hostmodel_test hostmodel_test.cpp)
target_link_libraries(hostmodel_test PRIVATE zelba_host zelba_host_store zelba_hostmodel)
