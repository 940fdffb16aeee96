qarto_test(dialogs dialogs qt_test_main)
qarto_add_suite(dialogs SERVER)
