qarto_test(filelist filelist qt_test_main)
qarto_add_suite(filelist SERVER)
