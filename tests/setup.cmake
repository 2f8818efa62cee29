# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/setup's choice of packages by release, against stand-ins for apt.
add_test(NAME setup
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/setup/check-setup.sh ${CMAKE_SOURCE_DIR}/scripts/setup)
