#!/usr/bin/env bash
# The Debian package, checked as a user meets it: builds it from the linux
# preset, runs lintian on it (an error fails), installs it with apt-get (which
# pulls its dependencies), runs the installed program's --version and the
# headless end-to-end test against the installed program, then purges it and
# checks that no file it brought is left.
#
#   scripts/check-deb.sh    (as root, after scripts/setup-deps.sh)
#
# A pelorin package that is installed before the check starts is a user's:
# the check refuses to run rather than replace or remove it. Every failure
# ends the script with a line saying what failed and a status other than 0.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=build/linux

fail() {
  echo "check-deb: FAILED: $*" >&2
  exit 1
}
step() { echo "check-deb: $*"; }

[ "$(id -u)" -eq 0 ] || fail "run as root: the check installs and removes the package"
for tool in cmake lintian dpkg-deb dpkg-shlibdeps desktop-file-validate apt-get; do
  command -v "$tool" >/dev/null || fail "$tool not found (scripts/setup-deps.sh installs it)"
done
state=$(dpkg-query -W -f='${db:Status-Status}' pelorin 2>/dev/null || true)
if [ -n "$state" ] && [ "$state" != not-installed ]; then
  fail "a pelorin package is already on this machine ($state); remove it first," \
    "the check does not touch a user's installation"
fi

step "building the package"
cmake --preset linux >/dev/null || fail "cmake --preset linux"
cmake --build --preset linux --target package >"$build/package.log" 2>&1 ||
  { tail -n 30 "$build/package.log" >&2; fail "cmake --build --preset linux --target package"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
deb=$build/pelorin_${version}_amd64.deb
[ -f "$deb" ] || fail "$deb was not made"
grep -q "^pelorin ($version) " packaging/linux/changelog ||
  fail "packaging/linux/changelog has no entry for $version"

step "lintian $deb"
lintian --fail-on error --display-info "$deb" >"$build/lintian.txt" 2>&1 ||
  { cat "$build/lintian.txt" >&2; fail "lintian reports an error"; }
tags=$(grep -cE '^[EWIPX]: ' "$build/lintian.txt" || true)
step "lintian: no error ($tags other tags, in $build/lintian.txt)"

# Owned by root; directories and programs 0755, every other file 0644.
dpkg-deb -c "$deb" >"$build/pelorin-deb-contents.txt"
wrong=$(awk '$2 != "root/root" ||
             ($1 ~ /^d/ && $1 != "drwxr-xr-x") ||
             ($1 ~ /^-/ && $6 ~ /^\.\/usr\/bin\// && $1 != "-rwxr-xr-x") ||
             ($1 ~ /^-/ && $6 !~ /^\.\/usr\/bin\// && $1 != "-rw-r--r--")' \
  "$build/pelorin-deb-contents.txt")
[ -z "$wrong" ] || fail "owners or modes in the package are wrong:"$'\n'"$wrong"

# From here on, the package this check installed goes again however it ends.
installed_here=0
purge_on_exit() {
  if [ $installed_here -eq 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq pelorin >/dev/null 2>&1 || true
  fi
}
trap purge_on_exit EXIT

step "apt-get install ./$deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >"$build/apt-install.log" 2>&1 ||
  { installed_here=1; tail -n 20 "$build/apt-install.log" >&2; fail "apt-get install ./$deb"; }
installed_here=1
dpkg -L pelorin | sort >"$build/pelorin-installed-files.txt"

said=$(/usr/bin/pelorin --version) || fail "/usr/bin/pelorin --version ended with an error"
[ "$said" = "pelorin $version" ] ||
  fail "/usr/bin/pelorin --version says '$said', the project is $version"
step "/usr/bin/pelorin --version: $said"
desktop-file-validate /usr/share/applications/pelorin.desktop ||
  fail "the installed desktop entry is not valid"
# The desktop module's libraries came with the package's dependencies.
missing=$(ldd /usr/lib/pelorin/pelorin-desktop.so | grep 'not found' || true)
[ -z "$missing" ] || fail "the desktop module misses libraries:"$'\n'"$missing"

step "the headless end-to-end test on /usr/bin/pelorin"
status=0
bash tests/linux/e2e.sh --installed "$build/tools/serial-standin/serial-standin" \
  "$build/tests/key-catcher" || status=$?
[ $status -eq 0 ] || fail "the end-to-end test on the installed program (status $status)"

step "apt-get purge pelorin"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq pelorin >"$build/apt-purge.log" 2>&1 ||
  { tail -n 20 "$build/apt-purge.log" >&2; fail "apt-get purge pelorin"; }
installed_here=0
# Every file the package brought is gone, and so is every folder no other
# package still owns.
left=()
while IFS= read -r path; do
  if [ "$path" = /. ] || { [ ! -e "$path" ] && [ ! -L "$path" ]; }; then continue; fi
  if [ -d "$path" ] && [ ! -L "$path" ] && dpkg -S "$path" >/dev/null 2>&1; then continue; fi
  left+=("$path")
done <"$build/pelorin-installed-files.txt"
[ ${#left[@]} -eq 0 ] || fail "left behind after the purge: ${left[*]}"

step "OK: $(basename "$deb") passes lintian, installs, runs, and leaves nothing behind"
