add_executable(test_editor_gui ${CMAKE_CURRENT_LIST_DIR}/test_editor_gui.cpp)
target_link_libraries(test_editor_gui PRIVATE bxeditor_gui Qt6::Test)
add_test(NAME test_editor_gui COMMAND test_editor_gui)
set_tests_properties(test_editor_gui PROPERTIES LABELS widget ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
