ammeter_add_test(tst_devicepath SOURCES tst_devicepath.cpp LIBS ammeter_device TIMEOUT 60)
ammeter_add_test(tst_singleshottimer SOURCES tst_singleshottimer.cpp LIBS ammeter_device TIMEOUT 60)
