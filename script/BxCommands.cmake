# The Tcl commands that reach into the main window (bx_window, bx_file,
# bx_list), the dictionary checks they share with the entry operations, and
# the "Run Tcl Script" console. Included from shell/ once bxshell exists.
if(NOT TARGET bxcommands)
  set(_bx_script ${CMAKE_CURRENT_LIST_DIR})

  # Shared rules of the main window's entry operations.
  add_library(bxdictchecks STATIC ${CMAKE_SOURCE_DIR}/shell/DictChecks.cpp)
  target_link_libraries(bxdictchecks PUBLIC bxshell)

  add_library(bxcommands STATIC
    ${_bx_script}/BxArgs.cpp
    ${_bx_script}/BxCommands.cpp
    ${_bx_script}/BxFile.cpp
    ${_bx_script}/BxList.cpp
    ${_bx_script}/BxWindow.cpp)
  target_link_libraries(bxcommands PUBLIC bxdictchecks bxshell bxscript_core)

  # The Tcl script dialog, also the F9 console.
  add_library(bxscript_gui STATIC ${_bx_script}/gui/inptcl.cpp ${_bx_script}/gui/TclConsole.cpp)
  target_link_libraries(bxscript_gui PUBLIC bxshell bxscript_core Qt6::Widgets)
endif()
