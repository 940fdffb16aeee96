# The board's suites need all five windows, as the program builds them.
qarto_test(board app qt_test_main)
target_compile_definitions(board_tests PRIVATE QARTO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
qarto_add_suite(board)
