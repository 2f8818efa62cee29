# SPDX-License-Identifier: GPL-3.0-or-later
# ammeter-log and the window publishing to Debian's Mosquitto, which the test starts itself.
if(TARGET metersim AND TARGET ammeter-log AND TARGET ammeter_app AND NOT WIN32)
  # A name lookup that hangs until the test lets it go: preloaded into ammeter-log, linked into the test.
  add_library(heldlookup MODULE support/heldlookup.cpp)
  target_link_libraries(heldlookup PRIVATE ${CMAKE_DL_LIBS})
  ammeter_add_test(tst_publish SOURCES tst_publish.cpp support/mosquittobroker.h
    support/heldlookup.cpp LIBS metersim ammeter_app ${CMAKE_DL_LIBS} TIMEOUT 240)
  set_target_properties(tst_publish PROPERTIES ENABLE_EXPORTS ON)
  target_compile_definitions(tst_publish PRIVATE AMMETER_LOG="$<TARGET_FILE:ammeter-log>"
    HELD_LOOKUP="$<TARGET_FILE:heldlookup>")
  add_dependencies(tst_publish ammeter-log heldlookup)
endif()
