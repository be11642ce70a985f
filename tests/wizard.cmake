# The installer program driven through its windows under Wine. The test finds
# Parvelo.exe and RecordProgram.exe where the build put them.
if(WIN32)
    add_executable(wizard_tests
        support/BmpBuilder.cpp
        support/GuiRig.cpp
        wine/WizardTest.cpp
        wine/WizardBrowseTest.cpp
        ${CMAKE_SOURCE_DIR}/installer/wizard/FolderBrowser.cpp)
    target_compile_definitions(wizard_tests PRIVATE
        PARVELO_EXE="$<TARGET_FILE:Parvelo>"
        PARVELO_RECORD_PROGRAM="$<TARGET_FILE:record_program>")
    target_link_libraries(wizard_tests parvelo_common parvelo_testsupport comctl32 shell32 ole32 gdi32 user32 advapi32)
    add_dependencies(wizard_tests Parvelo record_program)
    add_test(NAME wizard_tests COMMAND wizard_tests)
    set_tests_properties(wizard_tests PROPERTIES TIMEOUT 600)
endif()
