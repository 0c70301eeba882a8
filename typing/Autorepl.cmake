# The auto-replace engine (QtCore only) and its dictionary answers. Included
# from typing/ and, until then, from the tests; the guard makes either safe.
if(NOT TARGET bxautorepl)
  add_library(bxautorepl STATIC ${CMAKE_CURRENT_LIST_DIR}/Autorepl.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/AutoreplKeys.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/AutoreplCase.cpp)
  target_link_libraries(bxautorepl PUBLIC bxtags_core bxkeycodes bxplatform_core Qt6::Core)
  set_target_properties(bxautorepl PROPERTIES AUTOMOC OFF)

  add_library(bxautorepl_lookup STATIC ${CMAKE_CURRENT_LIST_DIR}/AutoreplLookup.cpp)
  target_link_libraries(bxautorepl_lookup PUBLIC bxautorepl bxdict_core)
  set_target_properties(bxautorepl_lookup PROPERTIES AUTOMOC OFF)
endif()
