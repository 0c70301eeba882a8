# The cost per key of the application rules and the password-field check.
add_executable(bench_apprules ${CMAKE_CURRENT_LIST_DIR}/bench_apprules.cpp)
target_link_libraries(bench_apprules PRIVATE bxtyping benchmark::benchmark)
