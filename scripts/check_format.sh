#!/usr/bin/env bash
# Checks that every C++ source and header is as clang-format (with the repository's
# .clang-format) would write it:
#   scripts/check_format.sh         list the files that differ and fail if any does
#   scripts/check_format.sh --fix   format them in place
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

mapfile -d '' files < <(find src tests tools bench -type f \( -name '*.cpp' -o -name '*.h' \) \
    -print0 | sort -z)

case "${1:-}" in
--fix)
    clang-format -i "${files[@]}"
    ;;
"")
    if ! clang-format --dry-run --Werror "${files[@]}"; then
        echo "format: the files above differ from .clang-format; scripts/check_format.sh --fix" \
            "formats them" >&2
        exit 1
    fi
    echo "format: ${#files[@]} files as .clang-format writes them"
    ;;
*)
    echo "usage: $0 [--fix]" >&2
    exit 2
    ;;
esac
