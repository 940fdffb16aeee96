# Runs on a private X server with openbox, which the suite starts and ends itself.
file(GLOB desktop_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/desktop/*.cpp)
add_executable(desktop_tests ${desktop_sources} ${CMAKE_CURRENT_SOURCE_DIR}/board/program_fixture.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/board/picture_files.cpp)
set_target_properties(desktop_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_include_directories(desktop_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(desktop_tests PRIVATE app test_support GTest::gtest Qt6::Test)
add_dependencies(desktop_tests qarto-groups-picture-reader)
add_test(NAME desktop COMMAND desktop_tests)
