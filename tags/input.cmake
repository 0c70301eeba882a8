# Input fields: the field list, its driver and the session stream (QtCore only).
brevix_library(bxinput_core STATIC InputFields.cpp InputList.cpp InputSession.cpp)
target_link_libraries(bxinput_core PUBLIC bxtags_core)
set_target_properties(bxinput_core PROPERTIES AUTOMOC OFF)
