# The typing target that times expansions for expand_latency.sh (no Qt).
add_executable(latency_probe ${CMAKE_CURRENT_LIST_DIR}/latency_probe.cpp)
target_link_libraries(latency_probe PRIVATE X11::X11 X11::Xtst)
set_target_properties(latency_probe PROPERTIES AUTOMOC OFF)
