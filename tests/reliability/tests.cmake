# Faults from outside: a server that goes away, a read-only database, a full disk, master tables
# written by other clients, hostile file names, converter libraries that crash. The suite runs the
# whole program, so it shares the program fixture of the board's suites.
qarto_test(reliability app qt_test_main)
target_sources(reliability_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/board/program_fixture.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/board/picture_files.cpp ${CMAKE_CURRENT_SOURCE_DIR}/board/board_mouse.cpp)
target_include_directories(reliability_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/board)
target_compile_definitions(reliability_tests PRIVATE QARTO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
qarto_add_suite(reliability SERVER)
# A frozen server while the real program runs.
add_dependencies(reliability_tests qarto-groups)
target_compile_definitions(reliability_tests PRIVATE QARTO_PROGRAM="$<TARGET_FILE:qarto-groups>")
# The worker's program the kept children of ApartWorker run in its tests.
add_executable(apart_test_worker ${CMAKE_CURRENT_SOURCE_DIR}/reliability/worker/apart_test_worker.cpp)
set_target_properties(apart_test_worker PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(apart_test_worker PRIVATE platform)
add_dependencies(reliability_tests apart_test_worker)
target_compile_definitions(reliability_tests PRIVATE QARTO_APART_TEST_WORKER="$<TARGET_FILE:apart_test_worker>")
