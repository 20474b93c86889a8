# The animation benchmark runs in the Windows build, under Wine
# (scripts/bench-animation.sh); it reuses the picture tests' probe.
add_executable(AnimationBench ${CMAKE_CURRENT_LIST_DIR}/AnimationBench.cpp)
target_include_directories(AnimationBench PRIVATE ${PROJECT_SOURCE_DIR}/tests/picture)
target_link_libraries(AnimationBench PRIVATE velodusk_picture)
