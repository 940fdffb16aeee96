qarto_test(storage storage plain_test_main)
qarto_add_suite(storage SERVER)
# A session started with LANG=C still reaches a database in a Japanese folder.
add_test(NAME storage_c_locale COMMAND storage_tests --gtest_filter=Database.aJapanese*)
set_tests_properties(storage_c_locale PROPERTIES ENVIRONMENT "LC_ALL=C;LANG=C")
