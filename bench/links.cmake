add_executable(bench_links ${CMAKE_CURRENT_LIST_DIR}/bench_links.cpp)
target_link_libraries(bench_links PRIVATE bxshell benchmark::benchmark)
