# What the entry editor and the keystroke recorder decide, without windows (QtCore only).
brevix_library(bxeditor_core STATIC EditorText.cpp KeyRecording.cpp TextEditorChoice.cpp)
target_link_libraries(bxeditor_core PUBLIC bxtags_core bxplatform)
set_target_properties(bxeditor_core PROPERTIES AUTOMOC OFF)
