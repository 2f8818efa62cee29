# SPDX-License-Identifier: GPL-3.0-or-later
# The skins under :/qss/: the sheets and, in a folder named after each sheet,
# the pictures its rules refer to. Sheets and pictures are drawn by artwork/
# and committed; the resource list is written here from what is on disk.
file(GLOB_RECURSE ammeter_qss_files CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/qss
  ${CMAKE_CURRENT_SOURCE_DIR}/qss/*.css ${CMAKE_CURRENT_SOURCE_DIR}/qss/*.png)
list(SORT ammeter_qss_files)

set(ammeter_qss_entries "")
foreach(file ${ammeter_qss_files})
  string(APPEND ammeter_qss_entries
    "    <file alias=\"${file}\">${CMAKE_CURRENT_SOURCE_DIR}/qss/${file}</file>\n")
endforeach()

set(ammeter_qss_qrc "${CMAKE_CURRENT_BINARY_DIR}/qss.qrc")
file(CONFIGURE OUTPUT "${ammeter_qss_qrc}" CONTENT
"<RCC>
  <qresource prefix=\"/qss\">
${ammeter_qss_entries}  </qresource>
</RCC>
")
list(APPEND AMMETER_QRC ${ammeter_qss_qrc})
