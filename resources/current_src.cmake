# SPDX-License-Identifier: GPL-3.0-or-later
# The program's own pictures under :/current_src/ (title-bar logo, toolbar
# button icons, the colour wheel of the colour check box), drawn by artwork/.
file(GLOB ammeter_current_src_files CONFIGURE_DEPENDS RELATIVE
  ${CMAKE_CURRENT_SOURCE_DIR}/current_src ${CMAKE_CURRENT_SOURCE_DIR}/current_src/*.png)
list(SORT ammeter_current_src_files)

set(ammeter_current_src_entries "")
foreach(file ${ammeter_current_src_files})
  string(APPEND ammeter_current_src_entries
    "    <file alias=\"${file}\">${CMAKE_CURRENT_SOURCE_DIR}/current_src/${file}</file>\n")
endforeach()

set(ammeter_current_src_qrc "${CMAKE_CURRENT_BINARY_DIR}/current_src.qrc")
file(CONFIGURE OUTPUT "${ammeter_current_src_qrc}" CONTENT
"<RCC>
  <qresource prefix=\"/current_src\">
${ammeter_current_src_entries}  </qresource>
</RCC>
")
list(APPEND AMMETER_QRC ${ammeter_current_src_qrc})
