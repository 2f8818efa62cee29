# SPDX-License-Identifier: GPL-3.0-or-later
# Recordings looked at again: read back, measured, compared.
ammeter_add_test(tst_playback SOURCES tst_playback.cpp
  LIBS ammeter_display ammeter_resources ammeter_testsupport_image TIMEOUT 60)
ammeter_add_test(tst_replay SOURCES tst_replay.cpp
  LIBS ammeter_app ammeter_resources ammeter_testsupport_image TIMEOUT 60)
