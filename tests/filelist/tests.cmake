qarto_test(filelist filelist qt_test_main)
# The thumbnails' tests write real pictures and drawings, as the preview suite does.
target_sources(filelist_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/preview/drawing_files.cpp)
target_link_libraries(filelist_tests PRIVATE Qt6::Gui)
qarto_add_suite(filelist SERVER)
