#!/usr/bin/env bash
# Installs what is missing, builds Vekkaro with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test, then the archive fuzzer for a
# bounded time. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

bash scripts/install-deps.sh

BUILD_DIR=${BUILD_DIR:-build-test}
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEKKARO_SANITIZE=ON -DVEKKARO_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"

# A private sound server with a null sink, so speech and playback have a real
# output even on a machine without one.
RUNTIME_DIR=$(mktemp -d)
chmod 700 "$RUNTIME_DIR"
export XDG_RUNTIME_DIR="$RUNTIME_DIR"
cleanup() {
  pulseaudio --kill >/dev/null 2>&1 || true
  rm -rf "$RUNTIME_DIR"
}
trap cleanup EXIT
if command -v pulseaudio >/dev/null; then
  pulseaudio -D --exit-idle-time=-1 -n --load="module-null-sink sink_name=ci_null" \
    --load=module-native-protocol-unix >/dev/null 2>&1 || echo "note: no sound server could be started"
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen

ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$JOBS" --timeout 300

FUZZ_SECONDS=${FUZZ_SECONDS:-60}
if [ -x scripts/fuzz.sh ] || [ -f scripts/fuzz.sh ]; then
  bash scripts/fuzz.sh "$FUZZ_SECONDS"
fi
echo "All tests passed."
