add_executable(test_spell_gui ${CMAKE_CURRENT_LIST_DIR}/SpellCheckDialogTest.cpp)
target_link_libraries(test_spell_gui PRIVATE bxspell_gui Qt6::Test)
add_test(NAME test_spell_gui COMMAND test_spell_gui)
set_tests_properties(test_spell_gui PROPERTIES LABELS widget
                     ENVIRONMENT "QT_QPA_PLATFORM=offscreen;DICPATH=/usr/share/hunspell")
