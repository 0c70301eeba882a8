# The hostile client of port_hostile.sh (no Qt).
add_executable(port_hostile ${CMAKE_CURRENT_LIST_DIR}/port_hostile.cpp)
target_link_libraries(port_hostile PRIVATE Threads::Threads)
set_target_properties(port_hostile PROPERTIES AUTOMOC OFF)
