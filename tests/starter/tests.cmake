# The starter's set-up is checked by starting the program on what it prepared.
qarto_test(starter starter app qt_test_main)
target_sources(starter_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/board/program_fixture.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/board/picture_files.cpp)
qarto_add_suite(starter)
# The set-up tool runs as a user of its own.
add_dependencies(starter_tests qarto-groups-prepare)
target_compile_definitions(starter_tests PRIVATE QARTO_PREPARE="$<TARGET_FILE:qarto-groups-prepare>")
