# The backup room's suite runs the whole program, so it shares the program fixture of the board's
# suites; its hard-end test kills a writer of its own, and its frozen-server tests freeze a server
# of their own (the reliability suite's) while the real program backs up.
qarto_test(backup app qt_test_main)
target_sources(backup_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/board/program_fixture.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/board/picture_files.cpp ${CMAKE_CURRENT_SOURCE_DIR}/board/board_mouse.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/reliability/outside_tools.cpp)
target_include_directories(backup_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/board
    ${CMAKE_CURRENT_SOURCE_DIR}/reliability)
target_compile_definitions(backup_tests PRIVATE QARTO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_executable(backup_writer ${CMAKE_CURRENT_SOURCE_DIR}/backup/writer/backup_writer.cpp)
set_target_properties(backup_writer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(backup_writer PRIVATE backup)
add_dependencies(backup_tests backup_writer qarto-groups)
target_compile_definitions(backup_tests PRIVATE BACKUP_WRITER="$<TARGET_FILE:backup_writer>"
    QARTO_PROGRAM="$<TARGET_FILE:qarto-groups>")
qarto_add_suite(backup SERVER)
