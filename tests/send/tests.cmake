# The sending room's suite: packages made of real files and read back by other programs, and the
# program's own commands, which share the program fixture of the board's suites.
qarto_test(send app qt_test_main)
target_sources(send_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/board/program_fixture.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/board/picture_files.cpp ${CMAKE_CURRENT_SOURCE_DIR}/board/board_mouse.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/preview/drawing_files.cpp)
target_include_directories(send_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/board ${CMAKE_CURRENT_SOURCE_DIR}/preview)
target_link_libraries(send_tests PRIVATE send Qt6::Gui)
qarto_add_suite(send SERVER)
