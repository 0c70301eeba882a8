add_executable(bench_open ${CMAKE_CURRENT_LIST_DIR}/bench_open.cpp)
target_link_libraries(bench_open PRIVATE bxshell benchmark::benchmark)
