#!/usr/bin/env bash
# Writes docs/post32-main.png, the README's picture of post32's main window,
# from the real window on real data: builds what it needs, runs the demo
# road (scripts/demo.sh) into a demo folder of its own, so the account, its
# agent and the history rows are the ones postp and posta made, and draws
# the main window offscreen with the agent selected (tarsel-screenshot).
#
# Usage: scripts/screenshot.sh [WIDTHxHEIGHT]   (default 1000x700)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
SIZE=${1:-1000x700}
BUILD=build/release
OUTPUT=docs/post32-main.png

bash scripts/install-deps.sh
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARSEL_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target tarsel-mkdata tarsel-demo-setup tarsel-log-text postp posta tarsel-screenshot

DEMO_DIR="$ROOT/$BUILD/screenshot-demo"
echo "Running the demo road into $DEMO_DIR"
if ! TARSEL_DEMO_DIR="$DEMO_DIR" bash scripts/demo.sh "$BUILD" >"$ROOT/$BUILD/screenshot-demo.log" 2>&1; then
  cat "$ROOT/$BUILD/screenshot-demo.log" >&2
  echo "screenshot: the demo road failed" >&2
  exit 1
fi

mkdir -p "$(dirname "$OUTPUT")"
status=0
TARSEL_CONFIG_DIR="$DEMO_DIR/config" TARSEL_HOME="$DEMO_DIR/home/" XDG_RUNTIME_DIR="$DEMO_DIR/runtime" \
  QT_QPA_PLATFORM=offscreen DBUS_SESSION_BUS_ADDRESS=disabled: \
  "$BUILD/tools/screenshot/tarsel-screenshot" "$OUTPUT" --size "$SIZE" 2>"$ROOT/$BUILD/screenshot.err" || status=$?
# The offscreen platform's notes about window features are no news.
grep -v -e 'does not support propagateSizeHints' -e 'does not support raise' "$ROOT/$BUILD/screenshot.err" >&2 || true
exit "$status"
