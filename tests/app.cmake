# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up through the real entry point, and the main window with a meter on an emulated port.
ammeter_add_test(tst_startup SOURCES tst_startup.cpp LIBS ammeter_app ammeter_resources XVFB TIMEOUT 300)
if(TARGET ammeter_usbtestbed AND TARGET metersim)
  ammeter_add_test(tst_mainwindow SOURCES tst_mainwindow.cpp
    LIBS ammeter_app ammeter_resources ammeter_usbtestbed metersim ammeter_testsupport_image
    UMOCKDEV XVFB TIMEOUT 120)
endif()
# The first screen on a full-HD screen and on the two commonest laptop screens.
ammeter_add_test(tst_firstscreen SOURCES tst_firstscreen.cpp
  LIBS ammeter_app ammeter_resources ammeter_testsupport_image XVFB TIMEOUT 60)
foreach(screen 1366x768 1280x720)
  add_test(NAME tst_firstscreen_${screen}
    COMMAND xvfb-run -a -s "-screen 0 ${screen}x24" $<TARGET_FILE:tst_firstscreen>)
  set_tests_properties(tst_firstscreen_${screen} PROPERTIES TIMEOUT 60 RESOURCE_LOCK ammeter_timing
    ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_LOGGING_RULES=qt.qpa.*=false")
endforeach()
# The settings kept and found again, "个性色彩" on the pages, and every text readable under every skin.
ammeter_add_test(tst_settings SOURCES tst_settings.cpp
  LIBS ammeter_app ammeter_resources ammeter_testsupport_image XVFB TIMEOUT 300)
