#!/usr/bin/env bash
# One entry point for a fresh Debian machine:
#   scripts/dev.sh run    install what is missing, build, start Tarnwick
#   scripts/dev.sh test   install what is missing, build, run every test (the Debian
#                         package is built and checked by tests of its own)
#   scripts/dev.sh package  install what is missing, build, make the Debian package and
#                         check it with lintian
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${TARNWICK_BUILD_DIR:-$ROOT/build}"

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6printsupport6
    libltc-dev libasound2-dev
    qt6-qpa-plugins libgl-dev
    fonts-noto-cjk qt6-translations-l10n
    xvfb xauth xdotool x11-utils x11-apps netpbm openbox
    poppler-utils
    dpkg-dev file python3
)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        local sudo=()
        if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
            --no-install-recommends "${missing[@]}"
    fi
}

build() {
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$BUILD" -j"$(nproc)"
}

case "${1:-}" in
run)
    install_missing
    build
    if [[ -x "$ROOT/scripts/demo.sh" ]]; then
        exec "$ROOT/scripts/demo.sh" "$BUILD"
    fi
    exec "$BUILD/src/app/tarnwick"
    ;;
test)
    install_missing
    build
    cd "$BUILD"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 600
    ;;
package)
    install_missing lintian
    build
    cd "$BUILD"
    deb=$(cpack -G DEB | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p')
    [[ -n $deb ]]
    # Root may build the package; lintian only warns that it should not run as root.
    lintian "$deb"
    echo "Package: $deb"
    ;;
*)
    echo "usage: $0 run|test|package" >&2
    exit 2
    ;;
esac
