#!/usr/bin/env bash
# Installs what is missing, builds Vekkaro and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEKKARO_TESTS=OFF >/dev/null
cmake --build "$BUILD_DIR" --target vekkaro

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: starting Vekkaro offscreen (it runs, but shows no windows)."
fi
exec "$BUILD_DIR/vekkaro" "$@"
