# The tag parser and the key names, compiled again with coverage.
get_target_property(TAGS_SOURCES bxtags_core SOURCES)
list(TRANSFORM TAGS_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/tags/)
add_executable(fuzz_parsetxt ${CMAKE_CURRENT_LIST_DIR}/fuzz_parsetxt.cpp ${TAGS_SOURCES}
               ${CMAKE_SOURCE_DIR}/shell/Keycodes.cpp ${CMAKE_SOURCE_DIR}/platform/KeyboardLayout.cpp)
target_compile_options(fuzz_parsetxt PRIVATE ${BREVIX_FUZZ_FLAGS})
target_link_options(fuzz_parsetxt PRIVATE ${BREVIX_FUZZ_FLAGS})
target_link_libraries(fuzz_parsetxt PRIVATE bxplatform_core Qt6::Core)
set_target_properties(fuzz_parsetxt PROPERTIES AUTOMOC OFF)
add_dependencies(fuzz fuzz_parsetxt)
