# The input fields' core: tags, values, the field process and sessions.
add_executable(test_input InputFieldsTest.cpp InputListTest.cpp)
target_link_libraries(test_input PRIVATE bxinput_core GTest::gtest_main)
set_target_properties(test_input PROPERTIES AUTOMOC OFF)
gtest_discover_tests(test_input)

# End to end under Xvfb: the form opens from an expansion in the Tk target.
add_test(NAME e2e_input COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/input.sh)
set_tests_properties(e2e_input PROPERTIES LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 180 RUN_SERIAL ON)
