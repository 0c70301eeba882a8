add_executable(bench_script ${CMAKE_CURRENT_LIST_DIR}/bench_script.cpp)
target_link_libraries(bench_script PRIVATE bxscript_core benchmark::benchmark)
