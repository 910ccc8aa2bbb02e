#!/usr/bin/env bash
# scripts/install-deps.sh against stand-in package tools (fake_package_tools.sh)
# that behave like an archive in the middle of a sync or ahead of the
# machine's image. Each case: archive behaviour, the script's expected exit
# status, a line its output must hold, and the foreign architectures after.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
script="$here/../../scripts/install-deps.sh"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
for tool in apt-get apt-cache dpkg dpkg-query sudo; do ln -s "$here/fake_package_tools.sh" "$work/bin/$tool"; done

failures=0
check() {  # name archive expected-status expected-line expected-foreign absent-packages...
  local name=$1 archive=$2 want_status=$3 want_line=$4 want_foreign=$5; shift 5
  local state="$work/$name"; mkdir -p "$state"; : >"$state/foreign"
  printf '%s\n' "$@" >"$state/absent"
  local out status
  out=$(PATH="$work/bin:$PATH" FAKE_STATE="$state" FAKE_ARCHIVE="$archive" VARKEL_WITH_WINE32=1 \
        VARKEL_APT_UPDATE_PAUSE=0 bash "$script" 2>&1 </dev/null); status=$?
  local foreign; foreign=$(tr '\n' ' ' <"$state/foreign" | sed 's/ $//')
  if [ "$status" != "$want_status" ] || ! grep -qF -- "$want_line" <<<"$out" || [ "$foreign" != "$want_foreign" ]; then
    echo "FAIL $name: status $status (want $want_status), foreign '$foreign' (want '$want_foreign'), output:"
    sed 's/^/    /' <<<"$out"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

check i386-index-broken i386-index-broken 0 "32-bit tier unavailable: no i386 package index" "" wine32:i386 qemu-user-static
check i386-resolver-breaks i386-breaks 0 "32-bit tier unavailable: apt-get install wine32:i386" "" wine32:i386 qemu-user-static
check i386-with-amd64-upgrades i386-needs-upgrade 0 "retrying with the matching amd64 versions" "i386" wine32:i386 qemu-user-static
check update-retried flaky-update 0 "apt-get update failed (attempt 2 of 3), retrying" "i386" wine32:i386 cmake
check required-missing no-cppcheck 1 "cannot install the required packages: cppcheck" "" cppcheck
check nothing-to-do "" 0 "the 32-bit tier's packages are installed" ""
exit $((failures > 0))
