# Typing speed into a real X client; run it inside the end-to-end desktop:
#   tests/e2e/run_with_display.sh build/bin/bench_typing
add_executable(bench_typing ${CMAKE_CURRENT_LIST_DIR}/bench_typing.cpp)
target_link_libraries(bench_typing PRIVATE bxhook benchmark::benchmark)
