# SPDX-License-Identifier: GPL-3.0-or-later
# :/image/ holds the message box pictures (drawn by artwork/, committed) and
# the Font Awesome 4.7 icon font of the title bars. The font comes from the
# system (Debian: fonts-font-awesome) and is copied into the build tree, so
# the resource list is written there too.
find_file(AMMETER_ICON_FONT fontawesome-webfont.ttf
  PATHS /usr/share/fonts-font-awesome/fonts /usr/share/fonts/truetype/font-awesome
  DOC "Font Awesome 4.7 TrueType font embedded as the title-bar icon font")
if(NOT AMMETER_ICON_FONT)
  message(FATAL_ERROR "fontawesome-webfont.ttf (Font Awesome 4.7) not found: install "
    "fonts-font-awesome or pass -DAMMETER_ICON_FONT=<path to fontawesome-webfont.ttf>")
endif()

set(ammeter_icon_font_copy "${CMAKE_CURRENT_BINARY_DIR}/fontawesome-webfont.ttf")
add_custom_command(OUTPUT ${ammeter_icon_font_copy}
  COMMAND ${CMAKE_COMMAND} -E copy ${AMMETER_ICON_FONT} ${ammeter_icon_font_copy}
  DEPENDS ${AMMETER_ICON_FONT}
  COMMENT "Copying the icon font into the resources")

file(GLOB ammeter_image_files CONFIGURE_DEPENDS RELATIVE
  ${CMAKE_CURRENT_SOURCE_DIR}/image ${CMAKE_CURRENT_SOURCE_DIR}/image/*.png)
list(SORT ammeter_image_files)

set(ammeter_image_entries
  "    <file alias=\"fontawesome-webfont.ttf\">${ammeter_icon_font_copy}</file>\n")
foreach(file ${ammeter_image_files})
  string(APPEND ammeter_image_entries
    "    <file alias=\"${file}\">${CMAKE_CURRENT_SOURCE_DIR}/image/${file}</file>\n")
endforeach()

set(ammeter_image_qrc "${CMAKE_CURRENT_BINARY_DIR}/image.qrc")
file(CONFIGURE OUTPUT "${ammeter_image_qrc}" CONTENT
"<RCC>
  <qresource prefix=\"/image\">
${ammeter_image_entries}  </qresource>
</RCC>
")
# Listing the copy beside the .qrc makes the resource target wait for it.
list(APPEND AMMETER_QRC ${ammeter_image_qrc} ${ammeter_icon_font_copy})

# The generator of the committed pictures and skin sheets (scripts/draw-artwork).
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/artwork ${CMAKE_CURRENT_BINARY_DIR}/artwork)
