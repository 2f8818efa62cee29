# Needle dials and the device pages built on them.
ammeter_add_test(tst_needlegauge
  SOURCES tst_needlegauge.cpp
  LIBS ammeter_display ammeter_testsupport_image
  TIMEOUT 120)

# The pages are fed by a real device object talking to a simulated meter on a pseudo-terminal,
# so the measurements arrive from the device's worker thread as they do in the program.
if(TARGET metersim)
  ammeter_add_test(tst_devicepages
    SOURCES tst_devicepages.cpp
    LIBS ammeter_display ammeter_testsupport_image metersim
    TIMEOUT 120)
endif()

# The needle page on a 125 % screen: the cached dial must line up with the needle and read-outs.
ammeter_add_test(tst_needlescale
  SOURCES tst_needlescale.cpp
  LIBS ammeter_display ammeter_testsupport_image)
