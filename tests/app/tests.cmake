qarto_test(app app qt_test_main)
# The program-run fixture is shared with the board's suites.
target_sources(app_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/board/program_fixture.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/board/picture_files.cpp)
qarto_add_suite(app SERVER)
