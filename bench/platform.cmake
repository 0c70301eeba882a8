add_executable(bench_ini ${CMAKE_CURRENT_LIST_DIR}/bench_ini.cpp)
target_link_libraries(bench_ini PRIVATE bxplatform benchmark::benchmark)
set_target_properties(bench_ini PROPERTIES AUTOMOC OFF)
