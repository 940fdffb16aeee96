qarto_test(platform platform qt_test_main)
qarto_add_suite(platform)
