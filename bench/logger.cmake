# SPDX-License-Identifier: GPL-3.0-or-later
# What ammeter-log costs while it records for days: CPU and resident memory
# at the meter's ten measurements a second.
if(WIN32 OR NOT TARGET metersim OR NOT TARGET ammeter-log)
  return()
endif()
add_executable(bench_logger ${CMAKE_CURRENT_LIST_DIR}/bench_logger.cpp)
target_include_directories(bench_logger PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(bench_logger PRIVATE metersim Qt::Core)
target_compile_definitions(bench_logger PRIVATE AMMETER_LOG="$<TARGET_FILE:ammeter-log>")
add_dependencies(bench_logger ammeter-log)

# One ammeter-log --all with one, two and four meters on an emulated USB bus.
if(TARGET ammeter_demo)
  add_executable(bench_meters ${CMAKE_CURRENT_LIST_DIR}/bench_meters.cpp)
  target_include_directories(bench_meters PRIVATE
    ${CMAKE_CURRENT_LIST_DIR} ${PROJECT_SOURCE_DIR}/tests/support)
  target_link_libraries(bench_meters PRIVATE ammeter_demo Qt::Test)
  target_compile_definitions(bench_meters PRIVATE AMMETER_LOG="$<TARGET_FILE:ammeter-log>")
  add_dependencies(bench_meters ammeter-log)
endif()
