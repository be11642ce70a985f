# GoogleTest built from the Debian source package for whichever toolchain is active.
set(PARVELO_GTEST_DIR /usr/src/googletest/googletest CACHE PATH "GoogleTest source folder")
add_library(parvelo_gtest STATIC
    ${PARVELO_GTEST_DIR}/src/gtest-all.cc
    ${PARVELO_GTEST_DIR}/src/gtest_main.cc)
target_include_directories(parvelo_gtest SYSTEM PUBLIC ${PARVELO_GTEST_DIR}/include PRIVATE ${PARVELO_GTEST_DIR})
# GoogleTest's own sources are not held to the project's warning flags or code page.
target_compile_options(parvelo_gtest PRIVATE -w -fexec-charset=UTF-8)
find_package(Threads REQUIRED)
target_link_libraries(parvelo_gtest PUBLIC Threads::Threads)
