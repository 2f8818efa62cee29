ammeter_add_test(tst_framewindow SOURCES tst_framewindow.cpp
  LIBS ammeter_frame ammeter_resources TIMEOUT 90)
