# Shortcut codes and key names (QtCore only). Included from shell/ and, until
# then, from tags/; the guard makes either order and repeated inclusion safe.
if(NOT TARGET bxkeycodes)
  add_library(bxkeycodes STATIC ${CMAKE_CURRENT_LIST_DIR}/Keycodes.cpp
                                ${CMAKE_SOURCE_DIR}/platform/KeyboardLayout.cpp)
  target_link_libraries(bxkeycodes PUBLIC bxplatform_core)
  set_target_properties(bxkeycodes PROPERTIES AUTOMOC OFF)
endif()
