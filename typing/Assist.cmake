# Suggestion window, hint box and keystroke statistics. Included from
# typing/ and, until then, from tests/typing/assist/; the guard makes either
# order and repeated inclusion safe.
if(NOT TARGET bxassist)
  # The suggestion list and the statistics texts (QtCore only).
  add_library(bxassist_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/SuggestWords.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SuggestList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Stats.cpp)
  target_link_libraries(bxassist_core PUBLIC bxdict_core bxkeycodes bx10 Qt6::Core)
  set_target_properties(bxassist_core PROPERTIES AUTOMOC OFF)

  # The windows.
  add_library(bxassist STATIC
    ${CMAKE_CURRENT_LIST_DIR}/SuggestStyle.cpp
    ${CMAKE_CURRENT_LIST_DIR}/asstfrm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SuggestionWindowOptions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Bx5Hint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Statdlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Speeddlg.cpp)
  target_link_libraries(bxassist PUBLIC bxassist_core bxshell_core Qt6::Widgets)
endif()
