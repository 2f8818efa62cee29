# SPDX-License-Identifier: GPL-3.0-or-later
add_executable(bench_playback ${CMAKE_CURRENT_SOURCE_DIR}/bench_playback.cpp)
target_include_directories(bench_playback PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(bench_playback PRIVATE ammeter_display ammeter_recording)
