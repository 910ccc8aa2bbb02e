#!/usr/bin/env bash
# Signing, checked on Linux where it happens: a throwaway self-signed
# certificate made here, the four deliverables and an installer built from
# them signed as the build signs them (scripts/sign.sh, the uninstaller inside
# through build-installer.sh), and every signature checked by
# `osslsigncode verify`, the shell package's too. Without the variables nothing is signed, and the
# output says so.
#   signing_check.sh DIST_DIR JAVA_PROGRAM_DIR WORK_DIR VERSION
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
dist=$1 java=$2 work=$3 version=$4
rm -rf "$work"; mkdir -p "$work/files"
deliverables=(Varkel.exe Varkel-64.exe Quellis64.dll QuellisSetup.exe)
for f in "${deliverables[@]}"; do cp "$dist/$f" "$work/files/"; done
files=("${deliverables[@]/#/$work/files/}")

unsigned=$(env -u VARKEL_SIGN_CERT -u VARKEL_SIGN_KEY "$root/scripts/sign.sh" "${files[@]}")
echo "$unsigned"
grep -q UNSIGNED <<<"$unsigned" || { echo "FAIL: no plain 'unsigned' without a certificate"; exit 1; }
if osslsigncode verify -in "${files[0]}" >/dev/null 2>&1; then echo "FAIL: signed without a certificate"; exit 1; fi

openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 2 -subj "/CN=Varkel signing test" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
export VARKEL_SIGN_CERT=$work/cert.pem VARKEL_SIGN_KEY=$work/key.pem
"$root/scripts/sign.sh" "${files[@]}"
# The shell package, made and signed as the build makes it with a certificate.
python3 "$root/installer/shell-package/make-shell-package.py" --output "$work/files/Varkel-Shell.msix" \
  --version "$version" --classes "$root/Quellis/dll_module.cpp" --dll Quellis64.dll --executable Varkel.exe \
  --logo Varkel-Logo.png --script "$work/files/shell-package.ps1"
file_arguments=(--file "$work/files/shell-package.ps1")
for f in "${files[@]}"; do file_arguments+=(--file "$f"); done
for f in "$work/files/Varkel-Shell.msix" "$root/installer/shell-package/Varkel-Logo.png" "$work/files/Quellis64.dll"; do
  file_arguments+=(--shell-file "$f")
done
VARKEL_JAVA_PROGRAM="" "$root/installer/build-installer.sh" --output "$work/Varkel-Setup.exe" --version "$version" \
  --work "$work/installer" --java-program "$java" "${file_arguments[@]}"
"$root/scripts/sign.sh" "$work/Varkel-Setup.exe"

failures=0
for f in "${files[@]}" "$work/files/Varkel-Shell.msix" "$work/Varkel-Setup.exe"; do
  if osslsigncode verify -CAfile "$work/cert.pem" -in "$f" >"$f.verify" 2>&1 &&
     grep -q "Signature verification: ok" "$f.verify" && grep -qi "sha256" "$f.verify"; then
    echo "verified: ${f##*/}"
  else
    echo "FAIL: ${f##*/}"; cat "$f.verify"; failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ]
