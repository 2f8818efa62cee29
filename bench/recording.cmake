# SPDX-License-Identifier: GPL-3.0-or-later
# The window's recording: its CPU beside none in the same run, and its memory as it grows.
if(WIN32 OR NOT TARGET metersim)
  return()
endif()
add_executable(bench_recording ${CMAKE_CURRENT_LIST_DIR}/bench_recording.cpp)
target_include_directories(bench_recording PRIVATE ${CMAKE_CURRENT_LIST_DIR}
  ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(bench_recording PRIVATE ammeter_app ammeter_resources metersim)
