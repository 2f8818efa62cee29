# SPDX-License-Identifier: GPL-3.0-or-later
if(TARGET ammeter_usbtestbed AND TARGET metersim)
  ammeter_add_test(tst_usbserialportmonitor SOURCES tst_usbserialportmonitor.cpp
    LIBS ammeter_device ammeter_usbtestbed metersim UMOCKDEV TIMEOUT 120)
endif()
