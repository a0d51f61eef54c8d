#!/usr/bin/env bash
# Installs the Debian packages building the application needs (not the test, fuzzing or packaging
# tools), builds the application (nothing else), and starts Tessarine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -- --target tessarine
exec build/app/tessarine "$@"
