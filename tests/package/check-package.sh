#!/usr/bin/env bash
# Builds the Debian package from a built tree, unpacks it into a temporary root
# (nothing on the system changes) and checks what an installing user depends
# on: libraries, menu entry, icons, and the udev rule for the recognised products.
# Usage: check-package.sh <build-dir>
set -uo pipefail

build="${1:?usage: check-package.sh <build-dir>}"

expected_products="0403:6001 0483:5740 28e9:018a 303a:1001"
expected_depends="libqt5widgets5 libqt5serialport5 libqcustomplot2.1 libudev1"
icon_sizes="16 32 48 64 128 256"
chinese_name="电流表上位机管理软件"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
failures=0

pass() { echo "ok: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {
    local what="$1"
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

build_package() {
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/cpack" >"$tmp/cpack.log" 2>&1 || {
        cat "$tmp/cpack.log"
        return 1
    }
    deb="$(find "$tmp/cpack" -maxdepth 1 -name '*.deb' -print -quit)"
    [[ -n "$deb" ]] && dpkg-deb -x "$deb" "$tmp/root" && dpkg-deb -e "$deb" "$tmp/control"
}

depends_on_runtime_libraries() {
    local depends package ok=0
    depends="$(dpkg-deb -f "$deb" Depends)"
    echo "  Depends: $depends"
    for package in $expected_depends; do
        if ! grep -Eq "(^|[ ,|])${package//./\\.}([ ,(]|$)" <<<"$depends"; then
            echo "  missing $package"
            ok=1
        fi
    done
    return $ok
}

program_links() {
    local program="$tmp/root/usr/bin/ammeter" libraries
    [[ -x "$program" ]] || { echo "  usr/bin/ammeter missing or not executable"; return 1; }
    libraries="$(ldd "$program" 2>&1)" || { echo "$libraries"; return 1; }
    if grep -q "not found" <<<"$libraries"; then
        grep "not found" <<<"$libraries"
        return 1
    fi
}

desktop_entry_valid() {
    desktop-file-validate "$tmp/root/usr/share/applications/ammeter.desktop"
}

desktop_entry_field() {
    sed -n "s/^$1=//p" "$tmp/root/usr/share/applications/ammeter.desktop"
}

desktop_entry_points_into_package() {
    local exec icon ok=0
    exec="$(desktop_entry_field Exec)"
    icon="$(desktop_entry_field Icon)"
    [[ -x "$tmp/root/usr/bin/${exec%% *}" ]] || { echo "  Exec=$exec is not in usr/bin"; ok=1; }
    [[ -f "$tmp/root/usr/share/icons/hicolor/48x48/apps/$icon.png" ]] || { echo "  Icon=$icon has no 48px icon"; ok=1; }
    [[ "$(desktop_entry_field 'Name\[zh_CN\]')" == "$chinese_name" ]] || { echo "  Name[zh_CN] is not $chinese_name"; ok=1; }
    return $ok
}

icons_have_their_sizes() {
    local size info ok=0
    for size in $icon_sizes; do
        info="$(file -b "$tmp/root/usr/share/icons/hicolor/${size}x${size}/apps/ammeter.png" 2>&1)"
        [[ "$info" == "PNG image data, $size x $size,"* ]] || { echo "  ${size}x${size}: $info"; ok=1; }
    done
    return $ok
}

# One rule a product, each of exactly this shape: sysfs reports the ids in
# lower-case hexadecimal, and only that spelling matches.
udev_rule_grants_the_products() {
    local rule="$tmp/root/usr/lib/udev/rules.d/70-ammeter.rules" granted
    [[ -f "$rule" ]] || { echo "  usr/lib/udev/rules.d/70-ammeter.rules missing"; return 1; }
    granted="$(sed -nE 's/^SUBSYSTEM=="tty", ATTRS\{idVendor\}=="([0-9a-f]{4})", ATTRS\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess"(, ENV\{ID_MM_DEVICE_IGNORE\}="1")?$/\1:\2/p' "$rule" | sort | tr '\n' ' ')"
    [[ "$granted" == "$expected_products " ]] || { echo "  granted: $granted"; return 1; }
    ! grep -vE '^(#.*)?$' "$rule" | grep -vE '^SUBSYSTEM=="tty", ATTRS\{idVendor\}'
}

if ! build_package; then
    fail "cpack builds the Debian package"
    exit 1
fi
pass "cpack builds $(basename "$deb")"
check "the package depends on the runtime libraries" depends_on_runtime_libraries
check "the program finds every library it links" program_links
check "the desktop entry validates" desktop_entry_valid
check "the desktop entry's program, icon and Chinese name" desktop_entry_points_into_package
check "the icons have the sizes of their folders" icons_have_their_sizes
check "the udev rule tags the ports of the four products" udev_rule_grants_the_products

if ((failures > 0)); then
    echo "$failures check(s) failed"
    exit 1
fi
