# The package maker. Its list and the texts it writes natively under the
# sanitizers; the search, the writer and the program itself under Wine.
if(WIN32)
    add_executable(maker_tests
        support/BmpBuilder.cpp
        support/MakerRig.cpp
        wine/MakerScanTest.cpp
        wine/MakerWriterTest.cpp
        wine/MakerDialogTest.cpp)
    target_link_libraries(maker_tests parvelo_maker parvelo_testsupport user32)
    target_compile_definitions(maker_tests PRIVATE PARVELO_MAKER_EXE="$<TARGET_FILE:ParveloMaker>")
    add_dependencies(maker_tests ParveloMaker)
    add_test(NAME maker_tests COMMAND maker_tests)
    set_tests_properties(maker_tests PROPERTIES TIMEOUT 600)
else()
    add_executable(native_maker_tests
        native/MakerListTest.cpp
        native/MakerTextTest.cpp)
    target_link_libraries(native_maker_tests parvelo_maker_text parvelo_gtest)
    add_test(NAME native_maker_tests COMMAND native_maker_tests)
endif()

# The round trip through both programs' windows.
if(WIN32)
    add_executable(maker_roundtrip_tests
        support/BmpBuilder.cpp
        support/GuiRig.cpp
        support/MakerRig.cpp
        wine/MakerRoundTripTest.cpp)
    target_compile_definitions(maker_roundtrip_tests PRIVATE
        PARVELO_EXE="$<TARGET_FILE:Parvelo>"
        PARVELO_MAKER_EXE="$<TARGET_FILE:ParveloMaker>")
    target_link_libraries(maker_roundtrip_tests parvelo_common parvelo_testsupport comctl32 shell32 gdi32 user32)
    add_dependencies(maker_roundtrip_tests Parvelo ParveloMaker)
    add_test(NAME maker_roundtrip_tests COMMAND maker_roundtrip_tests)
    set_tests_properties(maker_roundtrip_tests PROPERTIES TIMEOUT 600)
endif()
