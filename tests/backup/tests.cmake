qarto_test(backup app qt_test_main)
target_sources(backup_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/board/program_fixture.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/board/picture_files.cpp ${CMAKE_CURRENT_SOURCE_DIR}/board/board_mouse.cpp)
target_include_directories(backup_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/board)
qarto_add_suite(backup SERVER)
