# The auto-replace engine's cost per key-down with 100,000 entries, alone and
# behind the hook library's virtual desktop.
add_executable(bench_autorepl ${CMAKE_CURRENT_LIST_DIR}/bench_autorepl.cpp)
target_link_libraries(bench_autorepl PRIVATE bxautorepl_lookup bxhook bxkeys benchmark::benchmark)
set_target_properties(bench_autorepl PROPERTIES AUTOMOC OFF)
