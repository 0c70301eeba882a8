add_executable(test_editor_core EditorCoreTest.cpp)
target_link_libraries(test_editor_core PRIVATE bxeditor_core GTest::gtest_main)
set_target_properties(test_editor_core PROPERTIES AUTOMOC OFF)
gtest_discover_tests(test_editor_core)

add_executable(test_text_editor_choice TextEditorChoiceTest.cpp)
target_link_libraries(test_text_editor_choice PRIVATE bxeditor_core GTest::gtest_main)
set_target_properties(test_text_editor_choice PROPERTIES AUTOMOC OFF)
gtest_discover_tests(test_text_editor_choice)

# End to end under Xvfb: a keyword typed into the program's own input form expands there.
add_test(NAME e2e_own_input COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/own_input.sh)
set_tests_properties(e2e_own_input PROPERTIES LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 180 RUN_SERIAL ON)
