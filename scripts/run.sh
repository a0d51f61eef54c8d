#!/usr/bin/env bash
# Installs missing packages, builds, and starts Tessarine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ -x build/app/tessarine ]; then
  exec build/app/tessarine "$@"
else
  echo "Built. The application window is not part of this build yet; run scripts/test.sh for the test suite."
fi
