# The field process on a 500-field letter: one step, and a session saved and restored.
add_executable(bench_input ${CMAKE_CURRENT_LIST_DIR}/bench_input.cpp)
target_link_libraries(bench_input PRIVATE bxinput_core benchmark::benchmark)
set_target_properties(bench_input PROPERTIES AUTOMOC OFF)
