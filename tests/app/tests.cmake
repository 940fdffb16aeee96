qarto_test(app app qt_test_main)
# The program-run fixture is shared with the board's suites.
target_sources(app_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/board/program_fixture.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/board/picture_files.cpp)
qarto_add_suite(app SERVER)
# The session-signal tests run the real program.
add_dependencies(app_tests qarto-groups)
target_compile_definitions(app_tests PRIVATE QARTO_PROGRAM="$<TARGET_FILE:qarto-groups>")
