# The post-install runner under Wine with real processes: RecordProgram
# stands in for the author's programs, Wine's own msiexec for Windows
# Installer. The tests find RecordProgram beside themselves.
if(WIN32)
    add_executable(record_program support/RecordProgram.cpp)
    set_target_properties(record_program PROPERTIES OUTPUT_NAME RecordProgram)
    add_executable(postinstall_tests wine/PostInstallTest.cpp)
    target_link_libraries(postinstall_tests parvelo_core parvelo_testsupport)
    add_dependencies(postinstall_tests record_program)
    add_test(NAME postinstall_tests COMMAND postinstall_tests)
    set_tests_properties(postinstall_tests PROPERTIES TIMEOUT 300)
endif()
