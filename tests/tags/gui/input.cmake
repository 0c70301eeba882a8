# The input windows, offscreen.
add_executable(test_input_gui InputFormTest.cpp)
target_link_libraries(test_input_gui PRIVATE bxinput_gui Qt6::Test)
add_test(NAME test_input_gui COMMAND test_input_gui)
set_tests_properties(test_input_gui PROPERTIES LABELS widget TIMEOUT 120
                     ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
