#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
scripts/setup-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target pelorin
scripts/wine-session.sh wine build/win64/pelorin.exe "$@"
