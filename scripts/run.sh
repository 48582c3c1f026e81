#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQPES_TESTS=OFF
cmake --build build/release --target quillmar-setup
exec ./build/release/quillmar-setup "$@"
