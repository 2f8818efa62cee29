# The window framework: skins, the frameless window with its title bar, and the message box.
ammeter_add_test(tst_framewindow SOURCES tst_framewindow.cpp
  LIBS ammeter_frame ammeter_resources TIMEOUT 90)
