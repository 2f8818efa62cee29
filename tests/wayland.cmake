# SPDX-License-Identifier: GPL-3.0-or-later
if(AMMETER_QT_MAJOR STREQUAL "6" AND TARGET ammeter_demo)
  ammeter_add_e2e_test(tst_wayland LIBS Qt::Gui ammeter_testsupport_image UMOCKDEV TIMEOUT 120)
  # Without the optional Weston the test skips itself, and CTest lists it as not run.
  set_tests_properties(tst_wayland PROPERTIES SKIP_REGULAR_EXPRESSION "SKIP   : TestWayland::initTestCase")
endif()
