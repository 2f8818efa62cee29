ammeter_add_test(tst_devicepath SOURCES tst_devicepath.cpp LIBS ammeter_device TIMEOUT 60)
ammeter_add_test(tst_singleshottimer SOURCES tst_singleshottimer.cpp LIBS ammeter_device TIMEOUT 60)
if(TARGET ammeter_usbtestbed)
  ammeter_add_test(tst_usbserialportmonitor SOURCES tst_usbserialportmonitor.cpp
    LIBS ammeter_device ammeter_usbtestbed UMOCKDEV TIMEOUT 120)
  ammeter_add_test(tst_usbserialdevice SOURCES tst_usbserialdevice.cpp
    LIBS ammeter_device ammeter_usbtestbed UMOCKDEV TIMEOUT 120)
endif()
