#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs the system's main job.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARSEL_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"

if [[ -x scripts/demo.sh ]]; then
  exec bash scripts/demo.sh build/release
fi
echo "Built in build/release:"
find build/release -maxdepth 3 -type f \( -name '*.a' -o -perm -u+x \) \
     ! -name '*.so' ! -path '*/CMakeFiles/*' ! -name '*.sh' | sort | sed 's/^/  /'
