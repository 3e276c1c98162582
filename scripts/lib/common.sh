# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the scripts: where the tree is, and installing what a fresh Debian 12 lacks.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Packages every build needs; qt6-tools-dev and qt6-l10n-tools build the translations, and Qt's own
# Italian comes from qt6-translations-l10n.
BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev qt6-tools-dev qt6-l10n-tools
    qt6-translations-l10n libgl-dev fonts-dejavu-core)
# What scripts/package needs: the hardening flags and library dependencies (dpkg-dev) and the
# checks a Debian reviewer runs; systemd brings systemd-analyze and the units it verifies against,
# man-db the lookup of the unit's manual page.
PACKAGE_PACKAGES=(dpkg-dev file lintian desktop-file-utils appstream appstream-compose mandoc
    groff-base systemd man-db)

# ensure_packages PKG...: installs the Debian packages that are missing (as root, or via sudo).
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}" >&2
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null; then
            sudo=(sudo)
        else
            echo "These Debian packages are missing and I am not root: ${missing[*]}" >&2
            echo "Run this script as root, or install them with apt-get." >&2
            exit 1
        fi
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# build DIR [CMAKE ARGS...]: configures and builds the whole tree in DIR.
build() {
    local dir=$1
    shift
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir"
}
