# The window framework: skins and icon font, the frameless window with its
# title bar, and the message box.
ammeter_add_test(tst_skins SOURCES tst_skins.cpp
  LIBS ammeter_frame ammeter_resources TIMEOUT 60)

ammeter_add_test(tst_framewindow SOURCES tst_framewindow.cpp
  LIBS ammeter_frame ammeter_resources ammeter_testsupport_image TIMEOUT 90)

ammeter_add_test(tst_messagebox SOURCES tst_messagebox.cpp
  LIBS ammeter_frame ammeter_resources ammeter_testsupport_image TIMEOUT 90)
