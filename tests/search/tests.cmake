# The search room's suites run the whole program, so they share the program fixture of the board's
# suites. The other desktop is a second connection: in-process for embedded runs, through the
# private server for the server run.
qarto_test(search app qt_test_main)
target_sources(search_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/board/program_fixture.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/board/picture_files.cpp ${CMAKE_CURRENT_SOURCE_DIR}/board/board_mouse.cpp)
target_include_directories(search_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/board)
qarto_add_suite(search SERVER)
