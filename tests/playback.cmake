# SPDX-License-Identifier: GPL-3.0-or-later
# Recordings looked at again: read back, measured, compared.
ammeter_add_test(tst_playback SOURCES tst_playback.cpp
  LIBS ammeter_display ammeter_resources ammeter_testsupport_image TIMEOUT 60)
ammeter_add_test(tst_replay SOURCES tst_replay.cpp
  LIBS ammeter_app ammeter_resources ammeter_testsupport_image TIMEOUT 60)
# The recording fuzzer's entry point over its committed seeds; scripts/fuzz runs the real fuzzer.
ammeter_add_test(tst_fuzz_recordingreader
  SOURCES fuzz/fuzz_recordingreader.cpp fuzz/replaymain.cpp LIBS ammeter_recording TIMEOUT 60)
target_compile_definitions(tst_fuzz_recordingreader PRIVATE
  AMMETER_FUZZ_CORPUS="${CMAKE_CURRENT_SOURCE_DIR}/fuzz/recording-corpus")
