#!/usr/bin/env bash
# Takes the README's screenshots: the alarm window with two alarms and the
# message window after a firing, under Xvfb. Needs a built tree (BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-test}
OUT=docs/screenshots
mkdir -p "$OUT"

HOME_DIR=$(mktemp -d)
mkdir -p "$HOME_DIR/Library/Preferences/Vekkaro"
"$BUILD_DIR/tests/vekkaro_write_sample_alarms" "$HOME_DIR/Library/Preferences/Vekkaro/alarms" 4 "$PWD/resources/sounds/Temple.aiff"

export DISPLAY=:97
Xvfb "$DISPLAY" -screen 0 1024x700x24 >/dev/null 2>&1 &
XVFB=$!
trap 'kill $VEKKARO $XVFB 2>/dev/null || true; rm -rf "$HOME_DIR"' EXIT
sleep 1
HOME="$HOME_DIR" QT_QPA_PLATFORM=xcb "$BUILD_DIR/vekkaro" >/dev/null 2>&1 &
VEKKARO=$!
sleep 3
window_id() { xwininfo -root -tree | grep -F "\"$1" | head -n 1 | awk '{print $1}'; }
import -window "$(window_id 'Next Alarm Date')" "$OUT/alarm-window.png"
sleep 4
import -window "$(window_id 'Alarm Messages')" "$OUT/message-window.png"
echo "Wrote $OUT/alarm-window.png and $OUT/message-window.png"
