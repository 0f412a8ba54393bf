#!/usr/bin/env bash
# Fails when docs/performance.md no longer describes the program: the page
# names the commit it measured, and any file the program is built from that
# differs between that commit and the working tree makes its figures stale.
# A page whose first line says "STALE" passes (with a note): it has been
# marked so on purpose, until the next measurement.
#
# Exit codes: 0 current or marked stale, 1 stale and unmarked or no commit
# named, 77 cannot tell (no git, or the commit is not in this clone's history).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
page=$root/docs/performance.md

# Everything pelorin.exe (and later the Linux program) is compiled, linked or
# configured from; tests, benchmarks, scripts and docs are not.
program_paths=(platform config input engine actions indicators ui app cmake
  CMakeLists.txt CMakePresets.json)

if head -n 1 "$page" | grep -q 'STALE'; then
  echo "docs/performance.md is marked stale: $(head -n 1 "$page")"
  exit 0
fi
commit=$(sed -n 's/^Measured commit: `\([0-9a-f]\{7,40\}\)`.*/\1/p' "$page" | head -n 1)
if [ -z "$commit" ]; then
  echo "docs/performance.md names no measured commit (a line 'Measured commit: \`<sha>\`');" >&2
  echo "re-run scripts/measure-performance.sh or mark the page STALE in its first line." >&2
  exit 1
fi
if ! command -v git >/dev/null || ! git -C "$root" rev-parse --git-dir >/dev/null 2>&1; then
  echo "no git repository here: cannot compare docs/performance.md with the program"
  exit 77
fi
if ! git -C "$root" cat-file -e "$commit^{commit}" 2>/dev/null; then
  echo "commit $commit named by docs/performance.md is not in this clone's history"
  exit 77
fi
changed=$(cd "$root" && git diff --name-only "$commit" -- "${program_paths[@]}")
untracked=$(cd "$root" && git ls-files --others --exclude-standard -- "${program_paths[@]}")
if [ -n "$changed$untracked" ]; then
  echo "docs/performance.md describes commit $commit, but the program changed since:" >&2
  printf '  %s\n' $changed $untracked >&2
  echo "re-run scripts/measure-performance.sh, or mark the page STALE in its first line." >&2
  exit 1
fi
echo "docs/performance.md describes the current program (commit $commit)"
