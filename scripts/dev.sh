#!/usr/bin/env bash
# One entry point for a fresh Debian machine:
#   scripts/dev.sh run [video|ltc|mtc]  install what is missing, build, start Tarnwick (with
#                         the VTR simulator, or a video clip, LTC or MTC)
#   scripts/dev.sh test   install what is missing, check format and layers, build with
#                         warnings as errors, run every test (the Debian package is built
#                         and checked by tests of its own), then run them all again in a
#                         build with AddressSanitizer and UndefinedBehaviorSanitizer
#   scripts/dev.sh package  install what is missing, build, make the Debian package and
#                         check it with lintian
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${TARNWICK_BUILD_DIR:-$ROOT/build}"
ASAN_BUILD="${TARNWICK_ASAN_BUILD_DIR:-$ROOT/build-asan}"

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6printsupport6
    qt6-tools-dev qt6-l10n-tools
    libltc-dev libasound2-dev libavutil-dev libavformat-dev libmpv-dev ffmpeg
    libxlsxwriter-dev libzip-dev libxml2-utils python3-openpyxl
    qt6-qpa-plugins libgl-dev
    fonts-noto-cjk qt6-translations-l10n
    xvfb xauth xdotool x11-utils x11-apps netpbm openbox
    poppler-utils clang-format strace
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

# usage: build FOLDER [CMAKE_ARGS...]; TARGETS (an array) limits what is built.
build() {
    local dir="$1"
    shift
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j"$(nproc)" ${TARGETS:+--target "${TARGETS[@]}"}
}

run_tests() {
    (cd "$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 600)
}

# UBSan stops at its first report, as ASan does, so that a report fails its test.
SANITIZE="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"

run_sanitized_tests() {
    build "$ASAN_BUILD" -DTARNWICK_WERROR=ON "-DCMAKE_CXX_FLAGS=$SANITIZE" \
        "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined"
    ASAN_OPTIONS=detect_leaks=1 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0" \
        run_tests "$ASAN_BUILD"
}

case "${1:-}" in
run)
    install_missing
    # Only what the demo runs: the program and the simulator, not the tests and benchmarks.
    TARGETS=(tarnwick tarnwick-vtrsim)
    build "$BUILD"
    if [[ -x "$ROOT/scripts/demo.sh" ]]; then
        exec "$ROOT/scripts/demo.sh" "$BUILD" "${@:2}"
    fi
    exec "$BUILD/src/app/tarnwick"
    ;;
test)
    install_missing
    # The quick checks first: they answer in seconds.
    "$ROOT/scripts/check_format.sh"
    "$ROOT/scripts/check_layers.sh" --self-test
    "$ROOT/scripts/check_layers.sh"
    build "$BUILD" -DTARNWICK_WERROR=ON
    run_tests "$BUILD"
    run_sanitized_tests
    ;;
package)
    install_missing lintian
    build "$BUILD"
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
