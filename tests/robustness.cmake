# The whole program started on a damaged, unreadable or unwritable Settings.ini.
if(UNIX)
  ammeter_add_test(tst_robustness
    SOURCES tst_robustness.cpp
    LIBS ammeter_app ammeter_resources
    TIMEOUT 300)
endif()
