# SPDX-License-Identifier: GPL-3.0-or-later
# The meter's protocol: pure decoding, and the device over a pseudo-terminal.
ammeter_add_test(tst_meterprotocol SOURCES tst_meterprotocol.cpp LIBS ammeter_protocol TIMEOUT 60)
if(TARGET metersim)
  ammeter_add_test(tst_commoncurrentusbdevice SOURCES tst_commoncurrentusbdevice.cpp
    LIBS ammeter_device metersim TIMEOUT 120)
endif()

# The fuzz entry point over the committed seeds; scripts/fuzz runs the real fuzzer.
ammeter_add_test(tst_fuzz_meterprotocol
  SOURCES fuzz/fuzz_meterprotocol.cpp fuzz/replaymain.cpp LIBS ammeter_protocol TIMEOUT 60)
target_compile_definitions(tst_fuzz_meterprotocol PRIVATE
  AMMETER_FUZZ_CORPUS="${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus")
