# The meter's protocol: pure decoding, the simulated meter, and the device over a
# pseudo-terminal. The handshake cases wait out real retry pauses, so they are
# spread over executables that ctest can overlap.
ammeter_add_test(tst_meterprotocol SOURCES tst_meterprotocol.cpp LIBS ammeter_protocol TIMEOUT 60)
if(TARGET metersim)
  ammeter_add_test(tst_metersimulator SOURCES tst_metersimulator.cpp LIBS metersim TIMEOUT 60)
  ammeter_add_test(tst_commoncurrentusbdevice SOURCES tst_commoncurrentusbdevice.cpp
    LIBS ammeter_device metersim TIMEOUT 120)
  ammeter_add_test(tst_meterhandshake SOURCES tst_meterhandshake.cpp
    LIBS ammeter_device metersim TIMEOUT 120)
  ammeter_add_test(tst_silentmeter SOURCES tst_silentmeter.cpp
    LIBS ammeter_device metersim TIMEOUT 120)
endif()

# The fuzz entry point over the committed seeds; scripts/fuzz runs the real fuzzer.
ammeter_add_test(tst_fuzz_meterprotocol
  SOURCES fuzz/fuzz_meterprotocol.cpp fuzz/replaymain.cpp LIBS ammeter_protocol TIMEOUT 60)
target_compile_definitions(tst_fuzz_meterprotocol PRIVATE
  AMMETER_FUZZ_CORPUS="${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus")
