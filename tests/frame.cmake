# SPDX-License-Identifier: GPL-3.0-or-later
ammeter_add_test(tst_framewindow SOURCES tst_framewindow.cpp
  LIBS ammeter_frame ammeter_resources TIMEOUT 90)
