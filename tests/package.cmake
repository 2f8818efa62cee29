# SPDX-License-Identifier: GPL-3.0-or-later
# The package is made with cpack from this very build tree, so the check sees
# the program the other tests ran against and adds no second build.
if(UNIX AND NOT APPLE)
  add_test(NAME package
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package/check-package.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(package PROPERTIES TIMEOUT 300)
endif()
