# Installation on Linux and the Debian package built from it by CPack
# (scripts/package). The program goes to bin/ so that the desktop entry finds
# it on PATH; the udev rule lets the user at the seat open the meter's port.
if(NOT UNIX OR APPLE)
  return()
endif()

set(ammeter_linux_dir ${CMAKE_CURRENT_LIST_DIR})

# Installing needs only the program; making install (and so cpack) build every
# test and benchmark first would multiply the packaging time.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS ammeter RUNTIME DESTINATION bin)
install(FILES ${ammeter_linux_dir}/ammeter.desktop DESTINATION share/applications)
# Below the prefix so that a plain "cmake --install" to /usr/local lands in
# /usr/local/lib/udev/rules.d, which udev reads as well.
install(FILES ${ammeter_linux_dir}/70-ammeter.rules DESTINATION lib/udev/rules.d)

# The icons are read at install time, so a missing one stops the packaging
# with its file name rather than producing a package without menu icons.
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/ammeter-${size}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ammeter.png)
endforeach()

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
or membership of the dialout group.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# dpkg-shlibdeps (dpkg-dev) derives the library packages (Qt 5 widgets and
# serial port, QCustomPlot, libudev) from what the executable links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt draws the Chinese interface only with a CJK font present.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${ammeter_linux_dir}/postinst ${ammeter_linux_dir}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_GENERATOR DEB)
include(CPack)
