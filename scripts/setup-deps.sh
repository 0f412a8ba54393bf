#!/usr/bin/env bash
# Installs every build and test dependency from Debian's packages, once, then
# checks that each command the build, the tests and the README's commands
# call is really there. Idempotent: when everything is present it only checks.
set -euo pipefail

# Package, and why it is here where the name does not say it:
#   wine        the wine, wineboot and wineserver commands (wine64 alone brings
#               only /usr/lib/wine/wine64)
#   fonts-wine  the fonts Wine draws its windows with; without them labels are
#               measured in a substitute font
#   mingw-w64-tools, g++-mingw-w64-x86-64-posix  the Windows cross build
#   util-linux  unshare (the private mount namespace of the Wine session),
#               runuser (tests that must not run as root)
#   libsystemd-dev  sd-bus, with which the Linux tests and probes play players
#               on a private bus (the program speaks D-Bus itself)
#   dbus, vlc-bin, vlc-plugin-base  a private session bus and a real media
#               player for the Linux tests
#   libpulse-dev  the sound server's client library (Linux volume)
#   pulseaudio, pulseaudio-utils  the sound server the volume tests run
#               against, and pactl and pacat that drive it
packages=(
  cmake ninja-build gcc g++ clang libclang-rt-14-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 fonts-wine xvfb xauth
  imagemagick util-linux procps clang-tidy cppcheck python3
  pkg-config
  libsystemd-dev
  dbus
  vlc-bin
  vlc-plugin-base
  libpulse-dev
  pulseaudio
  pulseaudio-utils
)
# The Linux edition's backends, one line each.
packages+=(pkg-config)    # finds the system libraries below for CMake
packages+=(libxtst-dev)   # keys through XTest (brings the Xlib headers)
# The Linux edition's desktop face, and what its tests drive it with.
packages+=(qt6-base-dev)     # Qt 6 Widgets (the windows, the tray icon)
packages+=(qt6-qpa-plugins)  # Qt's X11 platform plugin (xcb)
packages+=(trayer)           # a tray host for XEmbed tray icons
packages+=(xdotool)          # finds and drives windows in the desktop tests
packages+=(x11-utils)        # xwininfo, xprop
packages+=(fonts-dejavu-core)  # the face Qt draws the windows in
# The Debian package and its check (scripts/check-deb.sh).
packages+=(dpkg-dev)            # dpkg-shlibdeps: the package's dependencies from its binaries
packages+=(file)                # CPack's DEB generator finds the binaries to strip and scan with it
packages+=(lintian)             # Debian's checks of the package
packages+=(desktop-file-utils)  # desktop-file-validate for the desktop entry
packages+=(man-db)              # man --warnings, which lintian runs on the manual page

# Commands the scripts call, each with the package that brings it.
commands=(
  cmake:cmake ninja:ninja-build gcc:gcc g++:g++ clang++:clang
  x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix
  x86_64-w64-mingw32-objdump:binutils-mingw-w64-x86-64
  wine:wine wineboot:wine wineserver:wine xvfb-run:xvfb Xvfb:xvfb xauth:xauth
  convert:imagemagick import:imagemagick unshare:util-linux pgrep:procps
  clang-tidy:clang-tidy cppcheck:cppcheck python3:python3
  pkg-config:pkg-config
  dbus-daemon:dbus
  cvlc:vlc-bin
  runuser:util-linux useradd:passwd
  pulseaudio:pulseaudio
  pactl:pulseaudio-utils pacat:pulseaudio-utils
)
commands+=(pkg-config:pkg-config)
commands+=(trayer:trayer xdotool:xdotool xwininfo:x11-utils)
commands+=(dpkg-shlibdeps:dpkg-dev file:file lintian:lintian)
commands+=(desktop-file-validate:desktop-file-utils man:man-db)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root (or install these packages yourself): ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

absent=()
for entry in "${commands[@]}"; do
  command -v "${entry%%:*}" >/dev/null 2>&1 || absent+=("${entry%%:*} (package ${entry#*:})")
done
if [ ${#absent[@]} -gt 0 ]; then
  printf 'setup-deps: still not found after installing: %s\n' "${absent[@]}" >&2
  exit 1
fi
