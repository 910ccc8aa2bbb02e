#!/usr/bin/env bash
# The installers that the installer tests run, built with the product's own
# script from payloads laid out here:
#   Varkel-Setup-test.exe     the tests' Java program with a private "jre" that
#                             holds the stand-in jvm.dll, and a recording program
#                             in place of the 32-bit Varkel.exe (no 32-bit
#                             program runs under this Wine)
#   Varkel-Setup-upgrade.exe  the same version again, with another shipped
#                             startup.conf, config\ left out and pics\ added
#   Varkel-Setup-broken.exe   the first payload without Quellis64.dll, so that
#                             QuellisSetup fails
# Each carries the shell package (unsigned) and its logo. Varkel-Setup-test.exe
# also carries the recorder as "package-tool.exe" and runs it in PowerShell's
# place to add and remove the package (the step runs where the registry says
# Windows 11).
#   make-test-installers.sh OUT_DIR VERSION RECORDER VARKEL64 QUELLIS SETUP STANDIN_JVM
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$1 version=$2 recorder=$3 varkel64=$4 quellis=$5 setup=$6 jvm=$7
work=$out/installer-payloads
rm -rf "$work"; mkdir -p "$work"
cp "$recorder" "$work/Varkel.exe"
cp "$recorder" "$work/package-tool.exe"
VARKEL_SIGN_CERT="" VARKEL_SIGN_KEY="" python3 "$here/../../../installer/shell-package/make-shell-package.py" \
  --output "$work/Varkel-Shell.msix" --version "$version" --classes "$here/../../../Quellis/dll_module.cpp" \
  --dll Quellis64.dll --executable Varkel.exe --logo Varkel-Logo.png >/dev/null
cp "$here/../../../installer/shell-package/Varkel-Logo.png" "$work/"
shell_package=("$work/Varkel-Shell.msix" "$work/Varkel-Logo.png")

lay_out() {  # folder, startup.conf source
  mkdir -p "$1/lib" "$1/jre/bin/server"
  cp "$2" "$1/startup.conf"
  cp "$jvm" "$1/jre/bin/server/jvm.dll"
}
lay_out "$work/base" "$here/program/startup.conf"
cp -R "$here/program/config" "$work/base/"
lay_out "$work/upgrade" "$here/program/startup-upgrade.conf"
mkdir -p "$work/upgrade/pics" && printf 'added by the upgrade\r\n' >"$work/upgrade/pics/readme.txt"

build() {  # output, Java program, [--package-tool PATH], native files...
  local output=$1 program=$2; shift 2
  local files=()
  if [ "$1" = --package-tool ]; then files+=("$1" "$2"); shift 2; fi
  for f in "$@" "${shell_package[@]}"; do files+=(--file "$f"); done
  VARKEL_JAVA_PROGRAM="" VARKEL_SIGN_CERT="" VARKEL_SIGN_KEY="" \
    "$here/../../../installer/build-installer.sh" --output "$out/$output" --version "$version" \
    --work "$work/build-${output%.exe}" --java-program "$program" "${files[@]}" >/dev/null
}
build Varkel-Setup-test.exe "$work/base" --package-tool '$INSTDIR\package-tool.exe' \
  "$work/Varkel.exe" "$varkel64" "$quellis" "$setup" "$work/package-tool.exe"
build Varkel-Setup-upgrade.exe "$work/upgrade" "$work/Varkel.exe" "$varkel64" "$quellis" "$setup"
build Varkel-Setup-broken.exe "$work/base" "$work/Varkel.exe" "$varkel64" "$setup"
