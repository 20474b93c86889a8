# The long-run benchmark (scripts/bench-longrun.sh): a minimal tray program to
# compare Velodusk's idle CPU time against.
add_executable(TrayBaseline WIN32 ${CMAKE_CURRENT_LIST_DIR}/TrayBaseline.cpp)
target_link_libraries(TrayBaseline PRIVATE shell32)
