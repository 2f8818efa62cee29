# SPDX-License-Identifier: GPL-3.0-or-later
# The interface catalogues: lrelease compiles the Linguist sources at build
# time and the compiled catalogues are embedded under :/languages/, where the
# main window looks them up by language code.
set(AMMETER_LANGUAGES zh en)

set(ammeter_ts_files "")
foreach(code ${AMMETER_LANGUAGES})
  list(APPEND ammeter_ts_files ${CMAKE_CURRENT_SOURCE_DIR}/languages/${code}.ts)
endforeach()
qt_add_translation(ammeter_qm_files ${ammeter_ts_files})

set(ammeter_languages_qrc "${CMAKE_CURRENT_BINARY_DIR}/languages.qrc")
set(ammeter_languages_entries "")
foreach(code ${AMMETER_LANGUAGES})
  string(APPEND ammeter_languages_entries
    "    <file alias=\"${code}.qm\">${CMAKE_CURRENT_BINARY_DIR}/${code}.qm</file>\n")
endforeach()
file(CONFIGURE OUTPUT "${ammeter_languages_qrc}" CONTENT
"<RCC>
  <qresource prefix=\"/languages\">
${ammeter_languages_entries}  </qresource>
</RCC>
")

# Listing the catalogues beside the .qrc makes the resource target wait for lrelease.
list(APPEND AMMETER_QRC ${ammeter_languages_qrc} ${ammeter_qm_files})
