qarto_test(storage storage GTest::gtest_main)
qarto_add_suite(storage SERVER)
