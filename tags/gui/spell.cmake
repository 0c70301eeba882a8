# The spelling dialog over the spelling service.
brevix_library(bxspell_gui STATIC ${CMAKE_CURRENT_LIST_DIR}/SpellCheckDialog.cpp)
target_link_libraries(bxspell_gui PUBLIC bxspell bxplatform_gui Qt6::Widgets)
