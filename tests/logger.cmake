# SPDX-License-Identifier: GPL-3.0-or-later
# ammeter-log run as a user runs it, against a simulated meter on an emulated
# USB bus; its recording is checked by Python's csv module.
if(TARGET ammeter_demo AND TARGET ammeter-log)
  ammeter_add_test(tst_logger SOURCES tst_logger.cpp LIBS ammeter_demo Qt::Gui UMOCKDEV TIMEOUT 120)
  target_compile_definitions(tst_logger PRIVATE
    AMMETER_LOG="$<TARGET_FILE:ammeter-log>"
    AMMETER_PROGRAM="$<TARGET_FILE:ammeter>"
    AMMETER_CHECK_RECORDING="${CMAKE_CURRENT_SOURCE_DIR}/logger/check-recording.py")
  add_dependencies(tst_logger ammeter-log)
endif()
