# SPDX-License-Identifier: GPL-3.0-or-later
# The real ammeter executable driven from outside, as a child process on an emulated USB bus.
if(TARGET ammeter_demo)
  function(ammeter_add_e2e_test name)
    ammeter_add_test(${name} SOURCES ${name}.cpp ${ARGN})
    target_link_libraries(${name} PRIVATE ammeter_demo)
    target_compile_definitions(${name} PRIVATE AMMETER_PROGRAM="$<TARGET_FILE:ammeter>")
    add_dependencies(${name} ammeter)
  endfunction()

  ammeter_add_e2e_test(tst_e2e_plug UMOCKDEV TIMEOUT 240)
  ammeter_add_e2e_test(tst_e2e_latetty UMOCKDEV TIMEOUT 120)
  # The launcher itself, which has to find its way into umockdev-wrapper alone.
  ammeter_add_e2e_test(tst_e2e_demo LIBS Qt::Gui ammeter_testsupport_image XVFB TIMEOUT 120)
  target_compile_definitions(tst_e2e_demo PRIVATE AMMETER_DEMO="$<TARGET_FILE:ammeter-demo>")
  add_dependencies(tst_e2e_demo ammeter-demo)
endif()
