#!/usr/bin/env bash
# Builds the archive fuzzer with clang and runs it for a bounded time.
#   scripts/fuzz.sh [SECONDS]        (default 60)
# FUZZ_BUILD_DIR chooses the build folder (default: build-fuzz in the repository).
# Exits non-zero when the fuzzer finds a crash; the crashing input is kept in
# the build folder's artifacts/.
set -euo pipefail

SECONDS_TO_RUN="${1:-60}"
if ! [[ "$SECONDS_TO_RUN" =~ ^[0-9]+$ ]] || [ "$SECONDS_TO_RUN" -eq 0 ]; then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi

REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${FUZZ_BUILD_DIR:-$REPO/build-fuzz}"
JOBS="${FUZZ_BUILD_JOBS:-2}"

cmake -G Ninja -S "$REPO" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DVEKKARO_APP=OFF -DVEKKARO_TESTS=OFF -DVEKKARO_FUZZ=ON >/dev/null
ninja -C "$BUILD" -j "$JOBS" archive_fuzzer

# New inputs go to a working corpus in the build folder; the committed seeds
# are only read.
WORK="$BUILD/fuzz-corpus/archive"
ARTIFACTS="$BUILD/artifacts"
mkdir -p "$WORK" "$ARTIFACTS"

"$BUILD/fuzz/archive_fuzzer" "$WORK" "$REPO/fuzz/corpus/archive" \
  -max_total_time="$SECONDS_TO_RUN" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -dict="$REPO/fuzz/archive.dict" -print_final_stats=1 -artifact_prefix="$ARTIFACTS/"
