# The input fields' core: tags, values, the field process and sessions.
add_executable(test_input InputFieldsTest.cpp InputListTest.cpp)
target_link_libraries(test_input PRIVATE bxinput_core GTest::gtest_main)
set_target_properties(test_input PROPERTIES AUTOMOC OFF)
gtest_discover_tests(test_input)
