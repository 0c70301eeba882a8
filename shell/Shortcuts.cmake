# File shortcuts (QtCore only) and the shortcut key dialogs. Included from
# shell/ and, until then, from tests/shortcuts; the guard makes either order safe.
if(NOT TARGET bxshortcuts)
  if(NOT TARGET bxkeycodes)
    include(${CMAKE_CURRENT_LIST_DIR}/Keycodes.cmake)
  endif()
  add_library(bxshortcuts_core STATIC ${CMAKE_CURRENT_LIST_DIR}/FileShortcuts.cpp)
  target_link_libraries(bxshortcuts_core PUBLIC Qt6::Core bxplatform_core)
  set_target_properties(bxshortcuts_core PROPERTIES AUTOMOC OFF)

  add_library(bxshortcuts STATIC
    ${CMAKE_CURRENT_LIST_DIR}/Nextkey.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Shcutdlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileShrt.cpp)
  target_link_libraries(bxshortcuts PUBLIC bxshortcuts_core bxkeycodes bxhooks bxshell_core
                                           Qt6::Widgets)

  # The main window's part, until MainfrmShortcuts.cpp is one of bxshell's sources.
  if(TARGET bxshell)
    get_target_property(_bxshell_sources bxshell SOURCES)
    if(NOT _bxshell_sources MATCHES "MainfrmShortcuts")
      add_library(bxshortcuts_main STATIC ${CMAKE_CURRENT_LIST_DIR}/MainfrmShortcuts.cpp)
      target_link_libraries(bxshortcuts_main PUBLIC bxshell bxshortcuts)
    endif()
  endif()
endif()
