# The entry editor, the tags menu with its small dialogs, and the keystroke recorder.
brevix_library(bxeditor_gui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/DictionaryEditDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlacedDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TagDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TagsMenu.cpp)
target_link_libraries(bxeditor_gui PUBLIC bxeditor_core bxdict_core bxplatform_gui bxhook Qt6::Widgets)
