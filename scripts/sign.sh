#!/usr/bin/env bash
# Signs Windows programs in place with Authenticode (osslsigncode, SHA-256)
# when a certificate and its key are named:
#   VARKEL_SIGN_CERT       certificate file (PEM or DER; a chain in PEM may follow it)
#   VARKEL_SIGN_KEY        its private key (PEM or DER, unencrypted, or see below)
#   VARKEL_SIGN_PASSWORD   optional: the key's password
#   VARKEL_SIGN_TIMESTAMP  optional: an RFC 3161 time-stamp server URL
# Without them it signs nothing and says so.
#   sign.sh FILE...
set -euo pipefail
cert=${VARKEL_SIGN_CERT:-} key=${VARKEL_SIGN_KEY:-}
if [ -z "$cert" ] && [ -z "$key" ]; then
  echo "sign: UNSIGNED (no VARKEL_SIGN_CERT and VARKEL_SIGN_KEY): $(printf '%s ' "${@##*/}")"
  exit 0
fi
[ -n "$cert" ] && [ -n "$key" ] || { echo "sign: VARKEL_SIGN_CERT and VARKEL_SIGN_KEY must both be set" >&2; exit 1; }
[ -f "$cert" ] || { echo "sign: certificate $cert not found" >&2; exit 1; }
[ -f "$key" ] || { echo "sign: key $key not found" >&2; exit 1; }
options=(-certs "$cert" -key "$key" -h sha256 -n Varkel)
[ -n "${VARKEL_SIGN_PASSWORD:-}" ] && options+=(-pass "$VARKEL_SIGN_PASSWORD")
[ -n "${VARKEL_SIGN_TIMESTAMP:-}" ] && options+=(-ts "$VARKEL_SIGN_TIMESTAMP")
for file in "$@"; do
  osslsigncode sign "${options[@]}" -in "$file" -out "$file.signing" >/dev/null
  mv -f "$file.signing" "$file"
  echo "sign: signed ${file##*/} (Authenticode, SHA-256)"
done
