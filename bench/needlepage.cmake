# SPDX-License-Identifier: GPL-3.0-or-later
# Repaint cost of the needle page and its CPU load at the meter's measurement rate.
add_executable(bench_needlepage ${CMAKE_CURRENT_SOURCE_DIR}/bench_needlepage.cpp)
target_link_libraries(bench_needlepage PRIVATE ammeter_display)
