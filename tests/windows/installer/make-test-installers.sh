#!/usr/bin/env bash
# The installers that the installer tests run, built with the product's own
# script from payloads laid out here:
#   Varkel-Setup-test.exe     the tests' Java program with a private "jre" that
#                             holds the stand-in jvm.dll, and a recording program
#                             in place of the 32-bit Varkel.exe (no 32-bit
#                             program runs under this Wine); its shell package
#                             unsigned
#   Varkel-Setup-signed.exe   the same with its shell package signed (a
#                             throwaway certificate made here)
#   Varkel-Setup-upgrade.exe  the same version again, with another shipped
#                             startup.conf, config\ left out and pics\ added
#   Varkel-Setup-broken.exe   the first payload without Quellis64.dll, so that
#                             QuellisSetup fails
# Each carries the shell package's folder (package, logo, Quellis64.dll) and
# its script. The test and signed installers also carry a recorder as
# "package-tool.exe" and run it in PowerShell's place for shell-package.ps1
# (the step runs where the registry says Windows 11).
#   make-test-installers.sh OUT_DIR VERSION RECORDER VARKEL64 QUELLIS SETUP STANDIN_JVM PACKAGE_TOOL
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$here/../../..
out=$1 version=$2 recorder=$3 varkel64=$4 quellis=$5 setup=$6 jvm=$7 package_tool=$8
work=$out/installer-payloads
rm -rf "$work"; mkdir -p "$work/unsigned" "$work/signed"
cp "$recorder" "$work/Varkel.exe"
cp "$package_tool" "$work/package-tool.exe"
openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 2 -subj "/CN=Varkel installer test" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
shell_package() {  # folder, signing certificate, its key
  VARKEL_SIGN_CERT=$2 VARKEL_SIGN_KEY=$3 python3 "$root/installer/shell-package/make-shell-package.py" \
    --output "$1/Varkel-Shell.msix" --version "$version" --classes "$root/Quellis/dll_module.cpp" \
    --dll Quellis64.dll --executable Varkel.exe --logo Varkel-Logo.png --script "$1/shell-package.ps1" >/dev/null
}
shell_package "$work/unsigned" "" ""
shell_package "$work/signed" "$work/cert.pem" "$work/key.pem"

lay_out() {  # folder, startup.conf source
  mkdir -p "$1/lib" "$1/jre/bin/server"
  cp "$2" "$1/startup.conf"
  cp "$jvm" "$1/jre/bin/server/jvm.dll"
}
lay_out "$work/base" "$here/program/startup.conf"
cp -R "$here/program/config" "$work/base/"
lay_out "$work/upgrade" "$here/program/startup-upgrade.conf"
mkdir -p "$work/upgrade/pics" && printf 'added by the upgrade\r\n' >"$work/upgrade/pics/readme.txt"

build() {  # output, Java program, shell package's folder, [--package-tool PATH], native files...
  local output=$1 program=$2 package=$3; shift 3
  local files=(--file "$package/shell-package.ps1")
  if [ "$1" = --package-tool ]; then files+=("$1" "$2"); shift 2; fi
  for f in "$@"; do files+=(--file "$f"); done
  for f in "$package/Varkel-Shell.msix" "$root/installer/shell-package/Varkel-Logo.png" "$quellis"; do
    files+=(--shell-file "$f")
  done
  VARKEL_JAVA_PROGRAM="" VARKEL_SIGN_CERT="" VARKEL_SIGN_KEY="" \
    "$root/installer/build-installer.sh" --output "$out/$output" --version "$version" \
    --work "$work/build-${output%.exe}" --java-program "$program" "${files[@]}" >/dev/null
}
tool=(--package-tool '$INSTDIR\package-tool.exe')
build Varkel-Setup-test.exe "$work/base" "$work/unsigned" "${tool[@]}" \
  "$work/Varkel.exe" "$varkel64" "$quellis" "$setup" "$work/package-tool.exe"
build Varkel-Setup-signed.exe "$work/base" "$work/signed" "${tool[@]}" \
  "$work/Varkel.exe" "$varkel64" "$quellis" "$setup" "$work/package-tool.exe"
build Varkel-Setup-upgrade.exe "$work/upgrade" "$work/unsigned" "$work/Varkel.exe" "$varkel64" "$quellis" "$setup"
build Varkel-Setup-broken.exe "$work/base" "$work/unsigned" "$work/Varkel.exe" "$varkel64" "$setup"
