#!/usr/bin/env bash
# The built Debian package, unpacked into a temporary folder as a user could: its contents,
# and its converter run from there.
#   package_test.sh PACKAGE.deb check_export.py
set -euo pipefail
deb=$1
checker=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

dpkg-deb -x "$deb" "$root"
for f in usr/bin/tarnwick usr/bin/tarnwick-vtrsim usr/bin/tarnwick-export \
    usr/libexec/tarnwick/desktop-start usr/share/pixmaps/tarnwick.xpm \
    usr/share/doc/tarnwick/copyright usr/share/doc/tarnwick/changelog.gz \
    usr/share/man/man1/tarnwick.1.gz usr/share/man/man1/tarnwick-vtrsim.1.gz \
    usr/share/man/man1/tarnwick-export.1.gz usr/lib/tarnwick/tarnwick_video.so; do
    [[ -s $root/$f ]] || { echo "missing from the package: $f" >&2; exit 1; }
done
for page in "$root"/usr/share/man/man1/*.gz; do
    gzip -t "$page"
done
grep -qx 'Exec=/usr/libexec/tarnwick/desktop-start' "$root/usr/share/applications/tarnwick.desktop"
grep -qx "exec '/usr/bin/tarnwick' \"\$@\"" "$root/usr/libexec/tarnwick/desktop-start"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6serialport6'
# The video module's player and reader come with it, though the program links neither.
dpkg-deb -f "$deb" Depends | grep -q 'libmpv2'
dpkg-deb -f "$deb" Depends | grep -q 'libavformat'
if readelf -d "$root/usr/bin/tarnwick" | grep -Eq 'libmpv|libavformat'; then
    echo "the program links the player itself" >&2
    exit 1
fi

# The whole help is read first: grep -q would stop reading, and the pipe's failure fail the test.
help=$("$root/usr/bin/tarnwick-export" --help)
grep -q -- '--non-drop' <<<"$help"
TARNWICK_EXPORT="$root/usr/bin/tarnwick-export" python3 "$checker"
