#!/usr/bin/env bash
# Builds everything and runs all tests (each database test gets its own database on a private
# PostgreSQL cluster that the tests start and stop themselves).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install_deps.sh test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTABEL_TEST_SERVER="${TABEL_TEST_SERVER:-127.0.0.77}" >/dev/null
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure -j2
