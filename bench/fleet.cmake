# SPDX-License-Identifier: GPL-3.0-or-later
# Twenty recorders publishing to one broker: the CPU publishing costs and the
# delay from the meter to a subscriber.
if(WIN32 OR NOT TARGET ammeter-log OR NOT TARGET metersim)
  return()
endif()
add_executable(bench_fleet ${CMAKE_CURRENT_LIST_DIR}/bench_fleet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/timedmeter.h ${CMAKE_CURRENT_LIST_DIR}/timedmeter.cpp)
target_include_directories(bench_fleet PRIVATE
  ${CMAKE_CURRENT_LIST_DIR} ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(bench_fleet PRIVATE metersim ammeter_protocol Qt::Test PkgConfig::MOSQUITTO)
target_compile_definitions(bench_fleet PRIVATE AMMETER_LOG="$<TARGET_FILE:ammeter-log>")
add_dependencies(bench_fleet ammeter-log)
