# SPDX-License-Identifier: GPL-3.0-or-later
# ammeter-log publishing to Debian's Mosquitto, which the test starts itself.
if(TARGET metersim AND TARGET ammeter-log AND TARGET ammeter_app)
  ammeter_add_test(tst_publish SOURCES tst_publish.cpp support/mosquittobroker.h
    LIBS metersim ammeter_app TIMEOUT 240)
  target_compile_definitions(tst_publish PRIVATE AMMETER_LOG="$<TARGET_FILE:ammeter-log>")
  add_dependencies(tst_publish ammeter-log)
endif()
