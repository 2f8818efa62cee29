# Needle dials and the device pages built on them.
ammeter_add_test(tst_needlegauge
  SOURCES tst_needlegauge.cpp
  LIBS ammeter_display ammeter_testsupport_image
  TIMEOUT 120)
