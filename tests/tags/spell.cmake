# The spelling service; needs the hunspell-en-us dictionary (scripts/deps.sh).
add_executable(test_spell ${CMAKE_CURRENT_LIST_DIR}/SpellCheckerTest.cpp
                          ${CMAKE_CURRENT_LIST_DIR}/SpellSessionTest.cpp)
target_link_libraries(test_spell PRIVATE bxspell GTest::gtest_main)
set_target_properties(test_spell PROPERTIES AUTOMOC OFF)
gtest_discover_tests(test_spell DISCOVERY_MODE PRE_TEST)
