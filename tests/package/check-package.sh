#!/usr/bin/env bash
# Builds the Debian package from an already built tree, unpacks it into a
# temporary root (dpkg -x: nothing on the system changes) and checks what a
# user installing it depends on: the program starts as far as the dynamic
# linker, the menu entry is valid and points at files the package ships, the
# icons have the sizes their folders promise, and the udev rule grants the
# seat's user the ports of exactly the recognised products.
#
# Usage: check-package.sh <build-dir>
set -uo pipefail

build="${1:?usage: check-package.sh <build-dir>}"
here="$(cd "$(dirname "$0")" && pwd)"
rule_check="$here/udev-rule-check.awk"

expected_products="0403:6001 0483:5740 28e9:018a 303a:1001"
case "$(sed -n 's/^AMMETER_QT_MAJOR:STRING=//p' "$build/CMakeCache.txt")" in
6) expected_depends="libqt6widgets6 libqt6serialport6 libqcustomplot2.1-qt6 libudev1" ;;
*) expected_depends="libqt5widgets5 libqt5serialport5 libqcustomplot2.1 libudev1" ;;
esac
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

# Broken rules the checker must reject, one per row: the rule, then the
# message it has to give.
check_rule_checker() {
    local rows=(
        'SUBSYTEM=="tty", TAG+="uaccess"|unknown key SUBSYTEM'
        'SUBSYSTEM=="tty", ATTRS{idVendor}="303a"|operator = not allowed for ATTRS'
        'SUBSYSTEM=="tty", ATTRS{idVendor}=="303A"|never matches'
        'SUBSYSTEM=="tty", ATTRS{idProduct}=="18a"|never matches'
        'SUBSYSTEM=="tty", ATTRS{idVendor}==303a|not in double quotes'
        'SUBSYSTEM=="tty", TAG+="uaccess|no closing quote'
        'SUBSYSTEM=="tty", ATTRS=="303a"|needs an attribute name'
        'SUBSYSTEM=="tty" TAG+"uaccess"|expected an operator'
        'SUBSYSTEM=="tty"TAG+="uaccess"|expected a comma'
        'SUBSYSTEM=="tty", \|ends inside a continued line'
    )
    local row rule message output ok=0
    for row in "${rows[@]}"; do
        rule="${row%|*}"
        message="${row##*|}"
        printf '%s\n' "$rule" >"$tmp/broken.rules"
        if output="$(awk -f "$rule_check" "$tmp/broken.rules" 2>&1)"; then
            echo "  accepted: $rule"
            ok=1
        elif [[ "$output" != *"$message"* ]]; then
            echo "  rejected '$rule' with '$output', expected '$message'"
            ok=1
        fi
    done
    return $ok
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

# A run path into the build tree would load libraries from a directory that
# does not exist on the user's machine, or worse, does on the developer's.
program_has_no_build_run_path() {
    local dynamic
    dynamic="$(readelf -d "$tmp/root/usr/bin/ammeter" | grep -E 'RPATH|RUNPATH')"
    [[ -z "$dynamic" ]] || { echo "  $dynamic"; return 1; }
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

png_size() {
    local b
    read -r -a b < <(od -An -tu1 -j16 -N8 "$1")
    echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}

icons_have_their_sizes() {
    local size icon ok=0
    for size in $icon_sizes; do
        icon="$tmp/root/usr/share/icons/hicolor/${size}x${size}/apps/ammeter.png"
        if [[ ! -f "$icon" ]]; then
            echo "  no ${size}x${size} icon"
            ok=1
        elif [[ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" != "89504e470d0a1a0a" ]]; then
            echo "  ${size}x${size} icon is not a PNG"
            ok=1
        elif [[ "$(png_size "$icon")" != "${size}x${size}" ]]; then
            echo "  ${size}x${size} icon is $(png_size "$icon")"
            ok=1
        fi
    done
    return $ok
}

udev_rule_parses() {
    local rule="$tmp/root/usr/lib/udev/rules.d/70-ammeter.rules"
    [[ -f "$rule" ]] || { echo "  usr/lib/udev/rules.d/70-ammeter.rules missing"; return 1; }
    awk -f "$rule_check" "$rule" >"$tmp/granted" || return 1
    if command -v udevadm >/dev/null && udevadm verify --help >/dev/null 2>&1; then
        udevadm verify "$rule" || return 1
    fi
}

udev_rule_grants_the_products() {
    local granted
    granted="$(sort -u "$tmp/granted" | tr '\n' ' ')"
    [[ "$granted" == "$expected_products " ]] || {
        echo "  granted: $granted"
        echo "  expected: $expected_products"
        return 1
    }
}

maintainer_scripts_valid() {
    local script ok=0
    for script in postinst postrm; do
        [[ -x "$tmp/control/$script" ]] || { echo "  $script missing or not executable"; ok=1; continue; }
        sh -n "$tmp/control/$script" || ok=1
    done
    return $ok
}

check "the rule checker rejects broken rules" check_rule_checker
if ! build_package; then
    fail "cpack builds the Debian package"
    exit 1
fi
pass "cpack builds $(basename "$deb")"
check "the package depends on the runtime libraries" depends_on_runtime_libraries
check "the program finds every library it links" program_links
check "the program carries no run path" program_has_no_build_run_path
check "the desktop entry validates" desktop_entry_valid
check "the desktop entry's program, icon and Chinese name" desktop_entry_points_into_package
check "the icons have the sizes of their folders" icons_have_their_sizes
check "the udev rule parses" udev_rule_parses
check "the udev rule tags the ports of the four products" udev_rule_grants_the_products
check "the maintainer scripts are executable shell" maintainer_scripts_valid

if ((failures > 0)); then
    echo "$failures check(s) failed"
    exit 1
fi
