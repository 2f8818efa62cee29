# SPDX-License-Identifier: GPL-3.0-or-later
# QCustomPlot built against the chosen Qt, as the target QCustomPlot::QCustomPlot.
# Debian ships the Qt 6 build as a package of its own (QCustomPlotQt6); a build
# made from the library's sources usually calls itself QCustomPlot either way.
if(AMMETER_QT_MAJOR STREQUAL "6")
  find_package(QCustomPlot REQUIRED NAMES QCustomPlotQt6 QCustomPlot)
else()
  find_package(QCustomPlot REQUIRED)
endif()

if(NOT TARGET QCustomPlot::QCustomPlot)
  add_library(QCustomPlot::QCustomPlot INTERFACE IMPORTED)
  target_link_libraries(QCustomPlot::QCustomPlot INTERFACE QCustomPlotQt6::QCustomPlotQt6)
endif()

# A library built for the other Qt would load both into one process and crash.
get_target_property(ammeter_qcustomplot_links QCustomPlot::QCustomPlot INTERFACE_LINK_LIBRARIES)
foreach(other 5 6)
  if(NOT other STREQUAL AMMETER_QT_MAJOR AND "${ammeter_qcustomplot_links}" MATCHES "Qt${other}::")
    message(FATAL_ERROR "QCustomPlot found in ${QCustomPlot_DIR} is built for Qt ${other}, "
      "not Qt ${AMMETER_QT_MAJOR}: point CMAKE_PREFIX_PATH at a build for Qt ${AMMETER_QT_MAJOR}")
  endif()
endforeach()
