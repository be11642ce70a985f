# Setup description, install list, addresses, text helpers: natively under
# the sanitizers. The install engine with its worker and HTTP client: under Wine.
if(WIN32)
    add_executable(engine_tests wine/EngineTest.cpp wine/InetTest.cpp)
    target_link_libraries(engine_tests parvelo_core parvelo_testsupport)
    add_test(NAME engine_tests COMMAND engine_tests)
    set_tests_properties(engine_tests PROPERTIES TIMEOUT 600)
else()
    add_executable(native_tests
        native/TextTest.cpp
        native/HttpUrlTest.cpp
        native/InitAppTest.cpp
        native/InstallListTest.cpp)
    target_link_libraries(native_tests parvelo_core parvelo_gtest)
    add_test(NAME native_tests COMMAND native_tests)
endif()
