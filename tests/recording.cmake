# SPDX-License-Identifier: GPL-3.0-or-later
ammeter_add_test(tst_measurementhistory SOURCES tst_measurementhistory.cpp
  LIBS ammeter_recording TIMEOUT 60)
