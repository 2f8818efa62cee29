# The whole program started on a damaged, unreadable or unwritable Settings.ini.
if(UNIX)
  ammeter_add_test(tst_robustness
    SOURCES tst_robustness.cpp
    LIBS ammeter_app ammeter_resources
    TIMEOUT 300)
endif()
# Whatever a meter sends, through the real device on a pseudo-terminal.
if(UNIX AND TARGET metersim)
  ammeter_add_test(tst_robustness_serial
    SOURCES tst_robustness_serial.cpp
    LIBS ammeter_device metersim
    TIMEOUT 120)
endif()
