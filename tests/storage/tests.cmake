qarto_test(storage storage plain_test_main)
qarto_add_suite(storage SERVER)
# A session started with LANG=C still reaches a database in a Japanese folder.
add_test(NAME storage_c_locale COMMAND storage_tests --gtest_filter=Database.aJapanese*)
set_tests_properties(storage_c_locale PROPERTIES ENVIRONMENT "LC_ALL=C;LANG=C")
# The server-mode tests start a program of their own for each firebird.conf.
add_executable(engine_probe ${CMAKE_CURRENT_SOURCE_DIR}/storage/engine_probe/engine_probe.cpp)
target_link_libraries(engine_probe PRIVATE storage)
add_dependencies(storage_tests engine_probe)
target_compile_definitions(storage_tests PRIVATE QARTO_ENGINE_PROBE="$<TARGET_FILE:engine_probe>")
