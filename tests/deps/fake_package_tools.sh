#!/usr/bin/env bash
# Stand-in for apt-get, apt-cache, dpkg, dpkg-query and sudo (by the name it
# is called with), keeping the machine's state in $FAKE_STATE:
#   foreign   the foreign architectures, one a line
#   absent    the packages that are not installed, one a line
#   updates   how many times apt-get update has run
# $FAKE_ARCHIVE says how the archive behaves:
#   i386-index-broken  the i386 index fails to download ("Mirror sync in progress?")
#   i386-breaks        wine32:i386 needs newer amd64 libraries than installed
#   i386-needs-upgrade like i386-breaks, but installing "libshared" with it works
#   flaky-update       the first two updates fail, later ones work
#   no-cppcheck        cppcheck cannot be located
set -u
state=${FAKE_STATE:?}
mode=${FAKE_ARCHIVE:-}
touch "$state/foreign" "$state/absent" "$state/updates"
has_i386() { grep -qx i386 "$state/foreign"; }
remove_line() { grep -vxF -e "$2" "$state/$1" >"$state/$1.new"; mv "$state/$1.new" "$state/$1"; }

case "$(basename "$0")" in
  sudo) exec "$@" ;;
  dpkg)
    case "$1" in
      --print-foreign-architectures) cat "$state/foreign" ;;
      --add-architecture) echo "$2" >>"$state/foreign" ;;
      --remove-architecture) remove_line foreign "$2" ;;
      --purge) shift; for p in "$@"; do case $p in -*) ;; *) echo "$p" >>"$state/absent" ;; esac; done ;;
    esac ;;
  dpkg-query)
    p=${*: -1}
    case "$*" in
      *Status-Abbrev*) grep -qxF wine32:i386 "$state/absent" || echo "wine32:i386 ii " ;;
      *) grep -qxF "$p" "$state/absent" && exit 1; echo "install ok installed" ;;
    esac ;;
  apt-cache)
    case "$*" in
      *libshared*) echo "Multi-Arch: same" ;;
      *i386*) has_i386 && [ "$mode" != i386-index-broken ] || { echo "E: No packages found" >&2; exit 100; } ;;
    esac ;;
  apt-get)
    args=" $* "
    case "$args" in
      *" update "*)
        n=$(( $(cat "$state/updates" 2>/dev/null || echo 0) + 1 )); echo "$n" >"$state/updates"
        if [ "$mode" = flaky-update ] && [ "$n" -le 2 ]; then echo "E: Failed to fetch" >&2; exit 100; fi
        if [ "$mode" = i386-index-broken ] && has_i386; then
          echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2; exit 100
        fi ;;
      *" -s "*upgrade*) echo "Inst libshared [1.0] (1.1 Debian:12)"; echo "Inst libother [2.0] (2.1 Debian:12)" ;;
      *" install "*)
        [ "$mode" = no-cppcheck ] && [[ $args == *" cppcheck "* ]] && { echo "E: Unable to locate package cppcheck" >&2; exit 100; }
        if [[ $args == *":i386 "* ]]; then
          if [ "$mode" = i386-breaks ] || { [ "$mode" = i386-needs-upgrade ] && [[ $args != *" libshared "* ]]; }; then
            echo "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages." >&2; exit 100
          fi
        fi
        for p in $args; do remove_line absent "$p"; done ;;
      *" purge "*) for p in $args; do case $p in *:i386) echo "$p" >>"$state/absent" ;; esac; done ;;
    esac ;;
esac
exit 0
