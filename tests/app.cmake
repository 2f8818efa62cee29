# The whole program: start-up through the real entry point, the main window
# with its pages, language switching and a meter plugged into an emulated port.
ammeter_add_test(tst_startup
  SOURCES tst_startup.cpp
  LIBS ammeter_app ammeter_resources
  TIMEOUT 120)
