#!/usr/bin/env bash
# CMake's emulator for the Windows build: runs one .exe under Wine, inside the
# session that scripts/wine-session.sh keeps up, or in a session of its own
# when called on its own (slower: about 4 s to bring Wine up).
set -euo pipefail
if [ -z "${PELORIN_WINE_SESSION:-}" ]; then
  exec "$(dirname "${BASH_SOURCE[0]}")/wine-session.sh" "${BASH_SOURCE[0]}" "$@"
fi
exec wine "$@"
