#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQPES_SANITIZE=ON -DQPES_TESTS=ON
cmake --build build/test
cd build/test
ctest --output-on-failure --parallel "$(nproc)"
