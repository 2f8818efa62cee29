# SPDX-License-Identifier: GPL-3.0-or-later
# Measurements lost while the GUI thread stalls, and "保存" of a day of history, each beside its
# baseline in the same run.
if(WIN32 OR NOT TARGET metersim)
  return()
endif()
add_executable(bench_timing ${CMAKE_CURRENT_LIST_DIR}/bench_timing.cpp)
target_link_libraries(bench_timing PRIVATE ammeter_device ammeter_recording metersim)
