# The timing side of bench/vs_peer.sh (no Qt).
add_executable(peer_probe ${CMAKE_CURRENT_LIST_DIR}/peer_probe.cpp)
target_link_libraries(peer_probe PRIVATE X11::X11 X11::Xtst)
set_target_properties(peer_probe PROPERTIES AUTOMOC OFF)
