#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine:
# the MinGW-w64 cross compilers, 64-bit Wine, Xvfb for message boxes,
# the JDK for the native JVM hosting tests, GoogleTest and Google Benchmark,
# clang with its sanitizer and libFuzzer runtimes, clang-tidy and cppcheck,
# NSIS for the installer and osslsigncode for optional signing, wixl and
# msitools for the MSI package, python3-xmlschema, which checks the shell
# package against Microsoft's schemas, and python3-jsonschema and
# python3-yaml for the winget manifest's check.
#
# The 32-bit tier (wine32:i386 under qemu user emulation) is optional: with
# VARKEL_WITH_WINE32=1 this script tries to install it too. That needs the
# i386 architecture and its package index, which a machine whose image lags
# the archive, or an archive in the middle of a sync, may not provide. Then
# the script says why in one line starting "install-deps: 32-bit tier
# unavailable:", leaves the machine's architectures as it found them, and
# still ends with 0. Only a required package that cannot be installed fails it.
#
# Never asks a question and never reads standard input.
set -euo pipefail

required=(
  cmake ninja-build make g++ clang clang-tidy cppcheck libclang-rt-dev python3
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xauth x11-utils
  openjdk-17-jdk-headless
  googletest libgtest-dev libbenchmark-dev
  nsis osslsigncode wixl msitools
  python3-xmlschema python3-jsonschema python3-yaml
)
wine32_packages=(wine32:i386 qemu-user-static)

update_attempts=${VARKEL_APT_UPDATE_ATTEMPTS:-3}
update_pause=${VARKEL_APT_UPDATE_PAUSE:-10}   # seconds between attempts

say() { echo "install-deps: $*"; }

SUDO=()
if [ "$(id -u)" -ne 0 ]; then SUDO=(sudo -n); fi

apt() {
  DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get -y -qq \
    -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold "$@" </dev/null
}

is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

not_installed() {
  local p
  for p in "$@"; do is_installed "$p" || echo "$p"; done
}

# Fills the caller's array `missing` with those of the packages that are not
# installed; when there are none, says that WHAT are installed and fails.
find_missing() {
  local what=$1
  shift
  mapfile -t missing < <(not_installed "$@")
  [ ${#missing[@]} -gt 0 ] && return 0
  say "$what are installed"
  return 1
}

# A failed update is retried; when it still fails, the indexes that did come
# in are used: a partial failure (one architecture's security index during a
# mirror sync, say) matters only if a needed package is then missing, and the
# install step reports that by name.
update_done=0
apt_update() {
  [ "$update_done" = 1 ] && return 0
  local attempt
  for attempt in $(seq "$update_attempts"); do
    if apt update; then update_done=1; return 0; fi
    if [ "$attempt" -lt "$update_attempts" ]; then
      say "apt-get update failed (attempt $attempt of $update_attempts), retrying in ${update_pause}s"
      sleep "$update_pause"
    fi
  done
  say "apt-get update failed $update_attempts times; going on with the package indexes that did come in"
  update_done=1
  return 1
}

install_required() {
  local missing
  find_missing "the required packages" "${required[@]}" || return 0
  say "installing ${missing[*]}"
  apt_update || true
  if ! apt install --no-install-recommends "${missing[@]}"; then
    mapfile -t missing < <(not_installed "${missing[@]}")
    say "cannot install the required packages: ${missing[*]} (apt-get's output above says why)"
    exit 1
  fi
}

# ---- the optional 32-bit tier ----------------------------------------------

i386_was_foreign=0
wine32_unavailable() {
  say "32-bit tier unavailable: $*"
  restore_architectures
  return 0
}

# Puts the machine back as it was when the i386 architecture was added here
# for nothing: a foreign architecture without its packages makes every later
# apt-get run fetch (and possibly fail on) its indexes.
restore_architectures() {
  [ "$i386_was_foreign" = 1 ] && return 0
  dpkg --print-foreign-architectures | grep -qx i386 || return 0
  local leftovers
  mapfile -t leftovers < <(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Abbrev}\n' 2>/dev/null |
    awk '$1 ~ /:i386$/ && $2 ~ /^.i/ {print $1}')
  if [ ${#leftovers[@]} -gt 0 ]; then
    apt purge "${leftovers[@]}" >/dev/null 2>&1 || "${SUDO[@]}" dpkg --purge --force-all "${leftovers[@]}" >/dev/null 2>&1 || true
  fi
  if "${SUDO[@]}" dpkg --remove-architecture i386; then
    say "removed the i386 architecture again"
  else
    say "warning: could not remove the i386 architecture (dpkg --remove-architecture i386)"
  fi
}

# The amd64 packages that must move to the archive's version so that their
# i386 twins (Multi-Arch: same, hence version-locked) can be installed.
upgradable_same_arch_libraries() {
  apt-get -s -o Debug::NoLocking=1 upgrade 2>/dev/null | awk '/^Inst /{print $2}' | while read -r p; do
    case "$(apt-cache show --no-all-versions "$p" 2>/dev/null | awk -F': ' '/^Multi-Arch:/{print $2; exit}')" in
      same) echo "$p" ;;
    esac
  done
}

install_wine32() {
  local missing
  find_missing "the 32-bit tier's packages" "${wine32_packages[@]}" || return 0
  if dpkg --print-foreign-architectures | grep -qx i386; then
    i386_was_foreign=1
  else
    "${SUDO[@]}" dpkg --add-architecture i386 || { wine32_unavailable "dpkg --add-architecture i386 failed"; return 0; }
    update_done=0
  fi
  say "installing the 32-bit tier: ${missing[*]}"
  apt_update || true
  if ! apt-cache show wine32:i386 >/dev/null 2>&1; then
    wine32_unavailable "no i386 package index (apt-get update could not fetch it)"
    return 0
  fi
  if apt install --no-install-recommends "${missing[@]}"; then return 0; fi

  local upgrades
  mapfile -t upgrades < <(upgradable_same_arch_libraries)
  if [ ${#upgrades[@]} -gt 0 ]; then
    say "retrying with the matching amd64 versions of ${#upgrades[@]} libraries"
    if apt install --no-install-recommends "${missing[@]}" "${upgrades[@]}"; then return 0; fi
  fi
  wine32_unavailable "apt-get install ${missing[*]} failed (the i386 packages do not match the installed amd64 ones)"
}

install_required
if [ "${VARKEL_WITH_WINE32:-0}" = 1 ]; then install_wine32; fi
