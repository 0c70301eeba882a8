# The spelling service: loading a dictionary, walking a long text, suggestions.
add_executable(bench_spell ${CMAKE_CURRENT_LIST_DIR}/bench_spell.cpp)
target_link_libraries(bench_spell PRIVATE bxspell benchmark::benchmark)
set_target_properties(bench_spell PROPERTIES AUTOMOC OFF)
