qarto_test(preview preview qt_test_main)
qarto_add_suite(preview)
