# Pixel helpers shared by every rendering test.
add_library(ammeter_testsupport_image STATIC support/imagecheck.h support/imagecheck.cpp)
target_include_directories(ammeter_testsupport_image PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/support)
target_link_libraries(ammeter_testsupport_image PUBLIC Qt::Widgets)
target_compile_definitions(ammeter_testsupport_image
  PRIVATE AMMETER_TEST_OUTPUT_DIR="${AMMETER_TEST_OUTPUT_DIR}")

ammeter_add_test(tst_currentplot SOURCES tst_currentplot.cpp
  LIBS ammeter_display ammeter_testsupport_image TIMEOUT 60)

ammeter_add_test(tst_paintedgauge SOURCES tst_paintedgauge.cpp
  LIBS ammeter_display ammeter_testsupport_image TIMEOUT 60)
