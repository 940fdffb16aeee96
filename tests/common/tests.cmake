qarto_test(common common GTest::gtest_main)
qarto_add_suite(common)
