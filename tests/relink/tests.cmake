qarto_test(relink relink qt_test_main)
qarto_add_suite(relink SERVER)
