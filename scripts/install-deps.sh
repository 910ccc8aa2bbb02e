#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine:
# the MinGW-w64 cross compilers, 64-bit Wine, Xvfb for message boxes,
# the JDK for the native JVM hosting tests, GoogleTest and Google Benchmark,
# clang with its sanitizer and libFuzzer runtimes, clang-tidy and cppcheck,
# NSIS for the installer and osslsigncode for optional signing.
# The 32-bit tier (wine32 under qemu user emulation) is optional: set
# VARKEL_WITH_WINE32=1 to install it too.
set -euo pipefail

packages=(
  cmake ninja-build make g++ clang clang-tidy cppcheck libclang-rt-dev python3
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xauth x11-utils
  openjdk-17-jdk-headless
  googletest libgtest-dev libbenchmark-dev
  nsis osslsigncode
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${VARKEL_WITH_WINE32:-0}" = 1 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    missing+=(wine32:i386 qemu-user-static)
  else
    for p in wine32:i386 qemu-user-static; do
      dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
  fi
fi

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
