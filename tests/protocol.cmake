# The meter's protocol: pure decoding, the simulated meter, and the device over a
# pseudo-terminal. The handshake cases wait out real retry pauses, so they run in
# an executable of their own that ctest can overlap with the others.
ammeter_add_test(tst_meterprotocol SOURCES tst_meterprotocol.cpp LIBS ammeter_protocol TIMEOUT 60)
if(TARGET metersim)
  ammeter_add_test(tst_metersimulator SOURCES tst_metersimulator.cpp LIBS metersim TIMEOUT 60)
  ammeter_add_test(tst_commoncurrentusbdevice SOURCES tst_commoncurrentusbdevice.cpp
    LIBS ammeter_device metersim TIMEOUT 120)
endif()
