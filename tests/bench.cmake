# Benchmark programs (not tests): run by scripts/bench.sh.
if(WIN32)
    add_library(parvelo_hostprocess STATIC support/HostProcess.cpp)
    target_link_libraries(parvelo_hostprocess PUBLIC parvelo_testsupport)
    add_executable(engine_bench bench/EngineBench.cpp)
    target_link_libraries(engine_bench parvelo_core parvelo_hostprocess psapi wininet)
endif()

# The programs driven through their windows.
if(WIN32)
    add_executable(program_bench bench/ProgramBench.cpp support/GuiRig.cpp)
    target_link_libraries(program_bench parvelo_hostprocess comctl32 shell32 gdi32 user32)
endif()
