# Window shell, dialog bitmap pack and page pictures. Pack records and BMP
# checks natively under the sanitizers; files, windows and drawing under Wine.
if(WIN32)
    add_executable(picture_tests
        support/BmpBuilder.cpp
        wine/WindowTest.cpp
        wine/BitmapPackFileTest.cpp
        wine/ImageTest.cpp)
    target_link_libraries(picture_tests parvelo_image parvelo_testsupport gdi32 user32)
    add_test(NAME picture_tests COMMAND picture_tests)
    set_tests_properties(picture_tests PROPERTIES TIMEOUT 300)
else()
    add_executable(native_picture_tests
        support/BmpBuilder.cpp
        native/BitmapPackTest.cpp
        native/BmpCheckTest.cpp)
    target_link_libraries(native_picture_tests parvelo_image parvelo_gtest)
    add_test(NAME native_picture_tests COMMAND native_picture_tests)
endif()
