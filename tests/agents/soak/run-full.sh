#!/bin/sh
# The random-kill run at full size: postp and posta on their timers against
# Dovecot and an SMTP server on loopback, each SIGKILLed every 2 to 10
# seconds while 480 messages arrive over 200 seconds. Builds the test build
# first. Override the size with TARSEL_SOAK_MESSAGES, TARSEL_SOAK_SECONDS,
# TARSEL_SOAK_KILL_MIN, TARSEL_SOAK_KILL_MAX and TARSEL_SOAK_SEED.
set -eu
cd "$(dirname "$0")/../../.."
BUILD=${BUILD:-build/test}
if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARSEL_SANITIZE=ON -DTARSEL_BENCH=OFF
fi
cmake --build "$BUILD" -j4 --target kill_soak postp posta
export QT_QPA_PLATFORM=offscreen
export TARSEL_SOAK_MESSAGES=${TARSEL_SOAK_MESSAGES:-480}
export TARSEL_SOAK_SECONDS=${TARSEL_SOAK_SECONDS:-200}
exec "$BUILD/tests/agents/soak/kill_soak"
