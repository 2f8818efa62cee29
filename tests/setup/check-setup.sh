#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs scripts/setup against stand-ins for dpkg-query, apt-cache and apt-get,
# one release and one state of the package archive a row, and checks what it
# asked apt-get for, its exit status and what it told the user.
# Usage: check-setup.sh <path to scripts/setup>
set -uo pipefail
setup="${1:?usage: check-setup.sh <setup script>}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/bin"
# MISSING: packages not installed; ABSENT: packages the archive does not have.
cat >"$tmp/bin/dpkg-query" <<'STUB'
#!/bin/bash
[[ " $MISSING " == *" ${@: -1} "* ]] && exit 1
echo -n "install ok installed"
STUB
cat >"$tmp/bin/apt-cache" <<'STUB'
#!/bin/bash
[[ " $ABSENT " == *" $2 "* ]] && echo "  Candidate: (none)" || echo "  Candidate: 1.0-1"
STUB
cat >"$tmp/bin/apt-get" <<'STUB'
#!/bin/bash
echo "$*" | sed 's/ -[^ ]*//g' >>"$CALLS"
STUB
printf '#!/bin/bash\nexec "$@"\n' >"$tmp/bin/sudo"
chmod +x "$tmp/bin/"*

failures=0
# name | ID VERSION_ID | missing | absent | status | apt-get calls | output (regex)
while IFS='|' read -r name release missing absent status calls output; do
    printf 'ID=%s\nVERSION_ID="%s"\n' ${release} >"$tmp/os-release"
    : >"$tmp/calls"
    got="$(PATH="$tmp/bin:$PATH" OS_RELEASE="$tmp/os-release" CALLS="$tmp/calls" \
        MISSING="$missing" ABSENT="$absent" bash "$setup" 2>&1)"
    got_status=$?
    got_calls="$(paste -sd ';' "$tmp/calls")"
    if [[ "$got_status" == "$status" && "$got_calls" == "$calls" ]] && grep -Eq -- "$output" <<<"$got"; then
        echo "ok: $name"
    else
        echo "FAIL: $name: status $got_status, apt-get: '$got_calls', said:"
        echo "$got" | sed 's/^/  /'
        failures=$((failures + 1))
    fi
done <<'ROWS'
Debian 13 names the fuzzer's runtime after clang 19|debian 13|clang libclang-rt-19-dev|libclang-rt-14-dev|0|update;install clang libclang-rt-19-dev|installing clang libclang-rt-19-dev$
Debian 12 names it after clang 14|debian 12|libclang-rt-14-dev|libclang-rt-19-dev|0|update;install libclang-rt-14-dev|installing libclang-rt-14-dev$
an optional package the release lacks is skipped, naming its check|debian 13|cmake weston|weston|0|update;install cmake|skipping weston, not in debian 13: the Wayland test \(tst_wayland\) will not run
a required package the release lacks fails the setup, named|debian 13|make qt6-base-dev|qt6-base-dev|1|update|has no package qt6-base-dev, which
everything installed: apt is not asked|debian 13|||0||^$
only optional packages the lists lack: no refresh|debian 12|g++-mingw-w64-x86-64|g++-mingw-w64-x86-64|0||the Windows check \(scripts/check-windows\) will not run
another release gets the runtime of its default clang|ubuntu 24.04|libclang-rt-dev||0|update;install libclang-rt-dev|ubuntu 24.04 is not Debian 12 or 13
ROWS
if ((failures > 0)); then
    echo "$failures row(s) failed"
    exit 1
fi
