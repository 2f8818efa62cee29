# SPDX-License-Identifier: GPL-3.0-or-later
# The whole program measured: latency of a measurement, plug to first value,
# display cost, memory over time, start-up, and the soak harness. scripts/bench
# runs them and writes bench/RESULTS.md; scripts/soak runs the soak.
if(WIN32 OR NOT TARGET metersim)
  return()
endif()

add_library(ammeter_bench_meter STATIC
  ${CMAKE_CURRENT_LIST_DIR}/timedmeter.h ${CMAKE_CURRENT_LIST_DIR}/timedmeter.cpp)
target_include_directories(ammeter_bench_meter PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ammeter_bench_meter PUBLIC metersim ammeter_protocol Qt::Core)

# The window keeps Settings.ini beside the executable; these run from a copy.
set(ammeter_bench_support ${PROJECT_SOURCE_DIR}/tests/support)

add_executable(bench_latency ${CMAKE_CURRENT_LIST_DIR}/bench_latency.cpp)
target_link_libraries(bench_latency PRIVATE ammeter_device ammeter_bench_meter)

add_executable(bench_display ${CMAKE_CURRENT_LIST_DIR}/bench_display.cpp)
target_include_directories(bench_display PRIVATE ${ammeter_bench_support})
target_link_libraries(bench_display PRIVATE ammeter_app ammeter_resources ammeter_bench_meter)

add_executable(bench_memory ${CMAKE_CURRENT_LIST_DIR}/bench_memory.cpp)
target_include_directories(bench_memory PRIVATE ${ammeter_bench_support})
target_link_libraries(bench_memory PRIVATE ammeter_app ammeter_resources metersim)

add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/bench_startup.cpp)
target_include_directories(bench_startup PRIVATE ${ammeter_bench_support})
target_link_libraries(bench_startup PRIVATE ammeter_app ammeter_resources ammeter_bench_meter)

if(TARGET ammeter_usbtestbed)
  add_executable(bench_plug ${CMAKE_CURRENT_LIST_DIR}/bench_plug.cpp)
  target_link_libraries(bench_plug PRIVATE ammeter_device ammeter_usbtestbed ammeter_bench_meter)
endif()

if(TARGET ammeter_demo)
  add_executable(bench_soak ${CMAKE_CURRENT_LIST_DIR}/bench_soak.cpp)
  target_include_directories(bench_soak PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(bench_soak PRIVATE ammeter_demo)
  target_compile_definitions(bench_soak PRIVATE AMMETER_PROGRAM="$<TARGET_FILE:ammeter>")
  add_dependencies(bench_soak ammeter)
endif()
