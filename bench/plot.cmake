# SPDX-License-Identifier: GPL-3.0-or-later
add_executable(bench_plot ${CMAKE_CURRENT_SOURCE_DIR}/bench_plot.cpp)
target_link_libraries(bench_plot PRIVATE ammeter_display)
