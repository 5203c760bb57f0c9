#!/usr/bin/env bash
# Checks that every #include "folder/..." in src/ goes down the layers, never up or sideways:
#   scripts/check_layers.sh              check src/; prints file:line: from -> to per violation
#   scripts/check_layers.sh --self-test  check the checker on a tiny tree of its own
# A folder may always include itself; <...> includes (Qt, system) are not checked.
set -euo pipefail

# Folder, then the folders it may include besides itself ("-" none, "*" every one).
LAYERS='
timecode  -
platform  -
grid      platform
sources   timecode platform
list      timecode
persist   list timecode platform
formats   persist list timecode platform
recovery  persist list timecode platform
print     persist list timecode platform
video     sources timecode
commands  sources list persist formats recovery print video timecode platform
res       -
app       *
'

declare -A ALLOWED=()
while read -r folder uses; do
    [[ -n "$folder" ]] && ALLOWED[$folder]="$uses"
done <<<"$LAYERS"

# Prints the violations under the src folder $1, paths as seen from the current folder;
# fails if there is any.
check_tree() {
    local src="${1%/}" status=0 file line text from to uses
    while IFS=: read -r file line text; do
        [[ "$text" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"/]+)/ ]] || continue
        to="${BASH_REMATCH[1]}"
        from="${file#"$src"/}"
        # Files straight in src/ belong to no layer.
        [[ "$from" == */* ]] && from="${from%%/*}" || from="(top)"
        [[ "$to" == "$from" ]] && continue
        if [[ -z "${ALLOWED[$from]+set}" ]]; then
            echo "$file:$line: $from -> $to (folder $from is not in the layer table)"
            status=1
            continue
        fi
        uses=" ${ALLOWED[$from]} "
        if [[ "$uses" != *" * "* && "$uses" != *" $to "* ]]; then
            echo "$file:$line: $from -> $to"
            status=1
        fi
    done < <(grep -rnH --include='*.h' --include='*.cpp' -E \
        '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$src" | sort -t: -k1,1 -k2,2n)
    return "$status"
}

# In a subshell of its own, so that its clean-up trap stays its own.
self_test() (
    local tmp out
    tmp="$(mktemp -d)"
    trap 'rm -rf "$tmp"' EXIT
    mkdir -p "$tmp/src/grid/detail"
    printf '#include "platform/modal.h"\n#include <QWidget>\n' >"$tmp/src/grid/ok.cpp"
    printf '#include "grid/ok.h"\n\n#  include "list/rows.h"\n' >"$tmp/src/grid/detail/bad.h"
    if out="$(check_tree "$tmp/src")"; then
        echo "self-test: a forbidden include passed" >&2
        return 1
    fi
    local expected="$tmp/src/grid/detail/bad.h:3: grid -> list"
    if [[ "$out" != "$expected" ]]; then
        printf 'self-test: expected\n  %s\ngot\n  %s\n' "$expected" "$out" >&2
        return 1
    fi
    rm "$tmp/src/grid/detail/bad.h"
    if ! out="$(check_tree "$tmp/src")"; then
        printf 'self-test: an allowed include was refused:\n%s\n' "$out" >&2
        return 1
    fi
    echo "layer check self-test passed"
)

case "${1:-}" in
--self-test)
    self_test
    ;;
-*)
    echo "usage: $0 [--self-test | SRC_DIR]" >&2
    exit 2
    ;;
*)
    src="${1:-}"
    if [[ -z "$src" ]]; then
        cd "$(dirname "${BASH_SOURCE[0]}")/.."
        src=src
    fi
    [[ -d "$src" ]] || { echo "$0: no folder $src" >&2; exit 2; }
    if check_tree "$src"; then
        echo "layers: every include goes one way"
    else
        echo "layers: the includes above go against the layer table in $0" >&2
        exit 1
    fi
    ;;
esac
