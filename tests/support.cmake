# SPDX-License-Identifier: GPL-3.0-or-later
# Pixel helpers shared by every rendering test.
add_library(ammeter_testsupport_image STATIC support/imagecheck.h support/imagecheck.cpp)
target_include_directories(ammeter_testsupport_image PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/support)
target_link_libraries(ammeter_testsupport_image PUBLIC Qt::Widgets)
target_compile_definitions(ammeter_testsupport_image
  PRIVATE AMMETER_TEST_OUTPUT_DIR="${AMMETER_TEST_OUTPUT_DIR}")
