# SPDX-License-Identifier: GPL-3.0-or-later
# Installation on Linux and the Debian package built from it by CPack
# (scripts/package). The programs go to bin/ so that the desktop entry finds
# ammeter on PATH; the udev rule lets the user at the seat open the meter's port.
if(NOT UNIX OR APPLE)
  return()
endif()

set(ammeter_linux_dir ${CMAKE_CURRENT_LIST_DIR})

# Installing needs only what the package holds (package-contents below);
# making install (and so cpack) build every test and benchmark first would
# multiply the packaging time.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# Software centres pair the metainfo with the desktop entry by this id.
set(ammeter_app_id example.c_seed_3f57febf.ammeter)

install(TARGETS ammeter RUNTIME DESTINATION bin)
install(FILES ${ammeter_linux_dir}/${ammeter_app_id}.desktop DESTINATION share/applications)
install(FILES ${ammeter_linux_dir}/${ammeter_app_id}.metainfo.xml DESTINATION share/metainfo)
# Below the prefix so that a plain "cmake --install" to /usr/local lands in
# /usr/local/lib/udev/rules.d, which udev reads as well.
install(FILES ${ammeter_linux_dir}/70-ammeter.rules DESTINATION lib/udev/rules.d)

# The icons are read at install time, so a missing one stops the packaging
# with its file name rather than producing a package without menu icons.
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/ammeter-${size}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ammeter.png)
endforeach()

# Compressed with gzip -n, so that the same sources give the same package.
set(ammeter_compressed_files)
function(ammeter_install_compressed source name destination)
  set(compressed ${CMAKE_BINARY_DIR}/compressed/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${CMAKE_BINARY_DIR}/compressed/${name}
    COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/compressed/${name}
    DEPENDS ${source}
    VERBATIM)
  install(FILES ${compressed} DESTINATION ${destination})
  set(ammeter_compressed_files ${ammeter_compressed_files} ${compressed} PARENT_SCOPE)
endfunction()

set(ammeter_doc_dir share/doc/ammeter)
install(FILES ${ammeter_linux_dir}/copyright DESTINATION ${ammeter_doc_dir})
ammeter_install_compressed(${ammeter_linux_dir}/changelog changelog ${ammeter_doc_dir})

# Each page in docs/man goes in with its program, so a new program brings its
# page by its name alone; a page whose program this build does not make stays out.
file(GLOB ammeter_man_pages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/*.1)
set(ammeter_packaged_programs)
foreach(page ${ammeter_man_pages})
  get_filename_component(program ${page} NAME_WE)
  if(TARGET ${program})
    list(APPEND ammeter_packaged_programs ${program})
    ammeter_install_compressed(${page} ${program}.1 share/man/man1)
  endif()
endforeach()

# What cpack installs; scripts/package builds this instead of everything.
add_custom_target(package-contents ALL DEPENDS ${ammeter_compressed_files})
add_dependencies(package-contents ${ammeter_packaged_programs})

set(CPACK_PACKAGE_NAME ammeter)
set(CPACK_PACKAGE_VENDOR "Ammeter host maintainers")
set(CPACK_PACKAGE_CONTACT "Ammeter host maintainers <maintainers@users.noreply.c-seed-3f57febf.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop host program for a USB current meter")
set(CPACK_PACKAGE_DESCRIPTION
"Finds the meter among the USB serial ports by its vendor and product
identifiers, polls it every 100 ms and shows voltage, current and power
live as a scrolling curve, a needle dial and a combined page. It follows
the meter as it is plugged and unplugged and speaks Chinese or English.
A udev rule lets the logged-in user open the meter's port without root
or membership of the dialout group.
.
meter-sim, also installed, puts a simulated meter on a pseudo-terminal
for anyone writing software for such a meter.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# dpkg-shlibdeps (dpkg-dev) derives the library packages (Qt 5 widgets and
# serial port, QCustomPlot, libudev, and libmosquitto1 for ammeter-log --mqtt)
# from what the executables link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The broker and its command-line clients, for a lab that has none yet.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mosquitto, mosquitto-clients")
# Qt draws the Chinese interface only with a CJK font present.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${ammeter_linux_dir}/postinst ${ammeter_linux_dir}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_GENERATOR DEB)
include(CPack)
