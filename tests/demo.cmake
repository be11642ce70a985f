# The main job's driver (scripts/main.sh): both programs through their windows.
if(WIN32)
    add_executable(main_job
        demo/MainJob.cpp
        support/BmpBuilder.cpp
        support/GuiRig.cpp
        support/MakerRig.cpp)
    target_compile_definitions(main_job PRIVATE
        PARVELO_EXE="$<TARGET_FILE:Parvelo>"
        PARVELO_MAKER_EXE="$<TARGET_FILE:ParveloMaker>")
    target_link_libraries(main_job parvelo_testsupport comctl32 shell32 gdi32 user32)
    add_dependencies(main_job Parvelo ParveloMaker)
endif()
