# The whole program: start-up through the real entry point, the main window
# with its pages, language switching and a meter plugged into an emulated port.
ammeter_add_test(tst_startup
  SOURCES tst_startup.cpp
  LIBS ammeter_app ammeter_resources
  TIMEOUT 120)
if(TARGET ammeter_usbtestbed AND TARGET metersim)
  ammeter_add_test(tst_mainwindow
    SOURCES tst_mainwindow.cpp
    LIBS ammeter_app ammeter_resources ammeter_usbtestbed metersim ammeter_testsupport_image
    UMOCKDEV TIMEOUT 120)
  ammeter_add_test(tst_screenshots
    SOURCES tst_screenshots.cpp
    LIBS ammeter_app ammeter_resources ammeter_usbtestbed metersim ammeter_testsupport_image
    UMOCKDEV XVFB TIMEOUT 120)
endif()
