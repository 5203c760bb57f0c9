#!/usr/bin/env bash
# The desktop entry's launcher, installed to a temporary prefix: Tarnwick must run in
# $XDG_CONFIG_HOME/tarnwick (~/.config/tarnwick when unset or not absolute), created when
# missing. No default.ini is there yet, so Tarnwick would open COM1's default device; it is
# stopped as soon as it has replaced the launcher.
#   launcher_test.sh BUILD_DIR CMAKE
set -euo pipefail
build=$1
cmake=$2
tmp=$(mktemp -d)
pid=
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT

"$cmake" --install "$build" --prefix "$tmp/prefix" >/dev/null
launcher=$tmp/prefix/libexec/tarnwick/desktop-start
grep -qx "Exec=$launcher" "$tmp/prefix/share/applications/tarnwick.desktop"
mkdir "$tmp/home"
# A relative XDG_CONFIG_HOME must be ignored; were it not, it would land in here.
cd "$tmp"

# runs_in FOLDER [VAR=VALUE...]: the launcher started with that environment runs Tarnwick
# in FOLDER.
runs_in() {
    local want=$1
    shift
    env -u XDG_CONFIG_HOME HOME="$tmp/home" QT_QPA_PLATFORM=offscreen "$@" "$launcher" \
        >/dev/null 2>&1 &
    pid=$!
    local deadline=$((SECONDS + 30))
    until [[ $(readlink "/proc/$pid/exe" 2>/dev/null) == "$tmp/prefix/bin/tarnwick" ]]; do
        if ((SECONDS > deadline)) || ! kill -0 "$pid" 2>/dev/null; then
            echo "Tarnwick did not start ($*)" >&2
            return 1
        fi
    done
    local cwd
    cwd=$(readlink "/proc/$pid/cwd")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    pid=
    if [[ $cwd != "$want" ]]; then
        echo "started in $cwd, not $want ($*)" >&2
        return 1
    fi
}

runs_in "$tmp/home/.config/tarnwick"
runs_in "$tmp/xdg/tarnwick" XDG_CONFIG_HOME="$tmp/xdg"
runs_in "$tmp/home/.config/tarnwick" XDG_CONFIG_HOME=relative/config
echo "launcher runs Tarnwick in its settings folder"
