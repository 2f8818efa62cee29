# SPDX-License-Identifier: GPL-3.0-or-later
foreach(name tst_currentplot tst_needlegauge)
  ammeter_add_test(${name} SOURCES ${name}.cpp
    LIBS ammeter_display ammeter_testsupport_image TIMEOUT 60)
endforeach()
