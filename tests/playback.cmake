# SPDX-License-Identifier: GPL-3.0-or-later
# Recordings looked at again: read back, measured, compared.
ammeter_add_test(tst_playback SOURCES tst_playback.cpp
  LIBS ammeter_display ammeter_resources ammeter_testsupport_image TIMEOUT 120)
# On a real X server, as the offscreen platform's screen of 800 × 600 would squeeze the window
# below any screen users have: the pages are looked at as users meet them.
ammeter_add_test(tst_replay SOURCES tst_replay.cpp XVFB
  LIBS ammeter_app ammeter_resources ammeter_testsupport_image TIMEOUT 60)
# The recording fuzzer's entry point over its committed seeds; scripts/fuzz runs the real fuzzer.
ammeter_add_test(tst_fuzz_recordingreader
  SOURCES fuzz/fuzz_recordingreader.cpp fuzz/replaymain.cpp LIBS ammeter_recording TIMEOUT 60)
target_compile_definitions(tst_fuzz_recordingreader PRIVATE
  AMMETER_FUZZ_CORPUS="${CMAKE_CURRENT_SOURCE_DIR}/fuzz/recording-corpus")
