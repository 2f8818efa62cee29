# SPDX-License-Identifier: GPL-3.0-or-later
ammeter_add_test(tst_measurementhistory SOURCES tst_measurementhistory.cpp
  LIBS ammeter_recording TIMEOUT 60)
# The window's recording through its button, on an emulated USB bus.
if(TARGET ammeter_demo)
  ammeter_add_test(tst_recording SOURCES tst_recording.cpp
    LIBS ammeter_app ammeter_resources ammeter_demo ammeter_testsupport_image
    UMOCKDEV XVFB TIMEOUT 180)
  # The program's path only for the bus's port numbering, shared with the other bus tests.
  target_compile_definitions(tst_recording PRIVATE AMMETER_PROGRAM="$<TARGET_FILE:ammeter>"
    AMMETER_CHECK_RECORDING="${CMAKE_CURRENT_SOURCE_DIR}/logger/check-recording.py")
endif()
# The rules of a battery test: its stop conditions, its events file, its life estimates.
ammeter_add_test(tst_batteryrun SOURCES tst_batteryrun.cpp LIBS ammeter_display TIMEOUT 60)
