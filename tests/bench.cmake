# Benchmark programs (not tests): run by scripts/bench.sh.
if(WIN32)
    add_executable(engine_bench bench/EngineBench.cpp)
    target_link_libraries(engine_bench parvelo_core parvelo_testsupport psapi wininet)
endif()
