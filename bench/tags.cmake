add_executable(bench_parsetxt ${CMAKE_CURRENT_LIST_DIR}/bench_parsetxt.cpp)
target_link_libraries(bench_parsetxt PRIVATE bxtags_core benchmark::benchmark)
