#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a built tree, unpacks it into a temporary root
# (nothing on the system changes) and checks what an installing user depends
# on: lintian's verdict, libraries, where the settings go, the AppStream
# metadata, menu entry, icons, and the udev rule for the recognised products.
# Usage: check-package.sh <build-dir>
set -uo pipefail

build="${1:?usage: check-package.sh <build-dir>}"

expected_products="0403:6001 0483:5740 28e9:018a 303a:1001"
case "$(sed -n 's/^AMMETER_QT_MAJOR:STRING=//p' "$build/CMakeCache.txt")" in
6) expected_depends="libqt6widgets6 libqt6serialport6 libqcustomplot2.1-qt6 libudev1 libmosquitto1" ;;
*) expected_depends="libqt5widgets5 libqt5serialport5 libqcustomplot2.1 libudev1 libmosquitto1" ;;
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
# check_with <tool> <what> <function>: a check made with the tool of an
# optional package (scripts/setup), skipped with a line when it is missing.
check_with() {
    local tool="$1"
    shift
    if command -v "$tool" >/dev/null; then check "$@"; else echo "skip: $1 ($tool is not installed)"; fi
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
    # Debian 13's 64-bit time_t transition renamed some library packages with a t64 suffix.
    for package in $expected_depends; do
        if ! grep -Eq "(^|[ ,|])${package//./\\.}(t64)?([ ,(]|$)" <<<"$depends"; then
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

# Overrides shipped in the package are the only way to silence a tag.
lintian_clean() {
    local as_root=()
    ((EUID == 0)) && as_root=(--allow-root)
    lintian "${as_root[@]}" --fail-on error,warning "$deb"
}

metainfo_valid() {
    appstreamcli validate --no-net "$metainfo"
}

# The metainfo's id names the desktop entry: software centres pair them by it.
metainfo_lists_the_products() {
    local product ok=0
    [[ -f "$desktop" ]] || { echo "  no desktop entry named after the id: ${desktop#$tmp/root}"; ok=1; }
    for product in $expected_products; do
        grep -qi "<modalias>usb:v${product%:*}p${product#*:}d\*</modalias>" "$metainfo" \
            || { echo "  no modalias for $product"; ok=1; }
    done
    return $ok
}

# An installed program cannot write to /usr/bin: it remembers the language in
# the user's configuration folder. Root may write anywhere, so as root the
# program runs as nobody.
installed_program_keeps_settings_in_home() {
    local home="$tmp/home" settings="$tmp/home/.config/ammeter/Settings.ini" as_user=() pid i
    mkdir "$home" && chmod 755 "$tmp"
    if ((EUID == 0)); then
        chown 65534 "$home"
        as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    else
        chmod a-w "$tmp/root/usr/bin"
    fi
    env -u XDG_CONFIG_HOME HOME="$home" QT_QPA_PLATFORM=offscreen "${as_user[@]}" \
        "$tmp/root/usr/bin/ammeter" >"$tmp/ammeter.log" 2>&1 &
    pid=$!
    # The program has no end of its own; QSettings writes the file in one rename.
    for ((i = 0; i < 300; i++)); do [[ -s "$settings" ]] && break || sleep 0.1; done
    kill "$pid" && wait "$pid"
    chmod u+w "$tmp/root/usr/bin"
    [[ ! -e "$tmp/root/usr/bin/Settings.ini" ]] || { echo "  wrote usr/bin/Settings.ini"; return 1; }
    grep -qx "languagesIndex=zh" "$settings" 2>/dev/null || {
        echo "  no language in ~/.config/ammeter/Settings.ini"
        cat "$tmp/ammeter.log"
        return 1
    }
}

# lintian does not see a version raised without a new changelog or release entry.
release_notes_name_the_version() {
    local version changelog
    version="$(dpkg-deb -f "$deb" Version)"
    changelog="$(zcat "$tmp/root/usr/share/doc/ammeter/changelog.gz" | head -n 1)"
    [[ "$changelog" == "ammeter ($version)"* ]] || { echo "  changelog begins: $changelog"; return 1; }
    grep -q "<release version=\"$version\"" "$metainfo" || { echo "  no AppStream release $version"; return 1; }
}

desktop_entry_valid() {
    desktop-file-validate "$desktop"
}

desktop_entry_field() {
    sed -n "s/^$1=//p" "$desktop"
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
metainfo="$(find "$tmp/root/usr/share/metainfo" -name '*.metainfo.xml' -print -quit 2>/dev/null)"
desktop="$tmp/root/usr/share/applications/$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "${metainfo:-/dev/null}").desktop"
check_with lintian "lintian reports no error and no warning" lintian_clean
check "the package depends on the runtime libraries" depends_on_runtime_libraries
check "the program finds every library it links" program_links
check "the installed program keeps its settings in the user's home" installed_program_keeps_settings_in_home
check_with appstreamcli "the AppStream metadata validates" metainfo_valid
check "the AppStream metadata names the desktop entry and lists the products" metainfo_lists_the_products
check "the changelog and the AppStream releases name the version" release_notes_name_the_version
check_with desktop-file-validate "the desktop entry validates" desktop_entry_valid
check "the desktop entry's program, icon and Chinese name" desktop_entry_points_into_package
check "the icons have the sizes of their folders" icons_have_their_sizes
check "the udev rule tags the ports of the four products" udev_rule_grants_the_products

if ((failures > 0)); then
    echo "$failures check(s) failed"
    exit 1
fi
