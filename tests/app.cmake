# Start-up through the real entry point, and the main window with a meter on an emulated port.
ammeter_add_test(tst_startup SOURCES tst_startup.cpp LIBS ammeter_app ammeter_resources TIMEOUT 300)
if(TARGET ammeter_usbtestbed AND TARGET metersim)
  ammeter_add_test(tst_mainwindow SOURCES tst_mainwindow.cpp
    LIBS ammeter_app ammeter_resources ammeter_usbtestbed metersim ammeter_testsupport_image
    UMOCKDEV TIMEOUT 120)
endif()
