# The spelling service over Hunspell (QtCore only).
find_package(PkgConfig REQUIRED)
pkg_check_modules(HUNSPELL REQUIRED IMPORTED_TARGET hunspell)
brevix_library(bxspell STATIC ${CMAKE_CURRENT_LIST_DIR}/SpellChecker.cpp
                              ${CMAKE_CURRENT_LIST_DIR}/SpellSession.cpp)
target_link_libraries(bxspell PUBLIC bxplatform Qt6::Core PRIVATE PkgConfig::HUNSPELL)
set_target_properties(bxspell PROPERTIES AUTOMOC OFF)
