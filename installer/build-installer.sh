#!/usr/bin/env bash
# Builds a Varkel installer with makensis from installer/varkel.nsi.
#
#   build-installer.sh --output SETUP.exe --version 6.0.0[.0] --work DIR \
#                      --java-program DIR [--java-program-default DIR] \
#                      --file Varkel.exe --file Varkel-64.exe --file ... \
#                      --shell-file Varkel-Shell.msix --shell-file ... \
#                      [--package-tool 'WINDOWS PATH']
#
# --file names each native file to install (the four deliverables, the shell
# package's step shell-package.ps1); --shell-file each file of the Windows 11
# shell package's own folder "shell\" (the package, its logo and the copy of
# Quellis64.dll that the package's COM surrogate loads);
# --java-program the folder of the Java program's installation files (classes,
# jar, lib, config, pics, startup.conf, a private "jre"); the environment
# variable VARKEL_JAVA_PROGRAM, when set, takes its place, and
# --java-program-default is used when neither is given. --work is a scratch
# folder (emptied). With VARKEL_SIGN_CERT and VARKEL_SIGN_KEY set, the
# uninstaller inside the installer is signed as it is packed (scripts/sign.sh);
# the caller signs the installer itself. Whether the shell package is signed
# is read from the package (its AppxSignature.p7x part): only a signed one is
# added without the installer's test switch. --package-tool replaces PowerShell as
# the program that adds and removes the shell package (a test's stand-in; NSIS
# variables such as $INSTDIR are expanded when the installer runs).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
output="" version="" work="" java="" java_default="" package_tool="" files=() shell_files=()
while [ $# -gt 0 ]; do
  case "$1" in
    --output) output=$2; shift 2 ;;
    --version) version=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --java-program) java=$2; shift 2 ;;
    --java-program-default) java_default=$2; shift 2 ;;
    --file) files+=("$2"); shift 2 ;;
    --shell-file) shell_files+=("$2"); shift 2 ;;
    --package-tool) package_tool=$2; shift 2 ;;
    *) echo "build-installer: unknown argument $1" >&2; exit 2 ;;
  esac
done
java=${VARKEL_JAVA_PROGRAM:-${java:-$java_default}}
fail() { echo "build-installer: $*" >&2; exit 1; }
[ -n "$output" ] && [ -n "$version" ] && [ -n "$work" ] || fail "--output, --version and --work are needed"
[ -n "$java" ] || fail "no Java program folder: set VARKEL_JAVA_PROGRAM or pass --java-program"
[ -d "$java" ] || fail "the Java program folder $java does not exist"
[ -f "$java/startup.conf" ] || fail "the Java program folder $java has no startup.conf"
# NSIS needs four parts.
case "$version" in
  *.*.*.*) ;;
  *.*.*) version=$version.0 ;;
  *) fail "version $version is not of the form 1.2.3 or 1.2.3.4" ;;
esac

rm -rf "$work"
payload=$work/payload
mkdir -p "$payload"
cp -R "$java/." "$payload/"
for f in "${files[@]}"; do
  [ -f "$f" ] || fail "$f does not exist"
  cp "$f" "$payload/"
done
shell_package=""
if [ ${#shell_files[@]} -gt 0 ]; then
  [ -e "$payload/shell" ] && fail "the Java program has a \"shell\" of its own; that name is the shell package's folder"
  mkdir -p "$payload/shell"
  for f in "${shell_files[@]}"; do
    [ -f "$f" ] || fail "$f does not exist"
    cp "$f" "$payload/shell/"
    case "$f" in *.msix) shell_package=$f ;; esac
  done
fi

# The payload as NSIS instructions, and the list the uninstaller works from:
# files first, then folders deepest first (each with a trailing backslash).
nsh=$work/payload.nsh
list=$work/installed-files.txt
: >"$nsh"
manifest=()
while IFS= read -r -d '' dir; do
  rel=${dir#.}; rel=${rel#/}
  case "$rel" in *'"'*|*'\'*|*'$'*|*$'\n'*) fail "a name in the payload cannot be installed: $rel" ;; esac
  win=${rel//\//\\}
  if [ -n "$rel" ]; then
    printf 'SetOutPath "$INSTDIR\\%s"\n' "$win" >>"$nsh"
  else
    printf 'SetOutPath "$INSTDIR"\n' >>"$nsh"
  fi
  while IFS= read -r -d '' file; do
    name=${file##*/}
    case "$name" in *'"'*|*'\'*|*'$'*|*$'\n'*) fail "a name in the payload cannot be installed: $rel/$name" ;; esac
    # The top-level startup.conf is installed by the script's own rule.
    [ -z "$rel" ] && [ "$name" = startup.conf ] && continue
    printf 'File "%s"\n' "$payload/${file#./}" >>"$nsh"
    manifest+=("${win:+$win\\}$name")
  done < <(cd "$payload" && find "./$rel" -mindepth 1 -maxdepth 1 -type f -print0 | sort -z)
done < <(cd "$payload" && find . -type d -print0 | sort -z)
while IFS= read -r dir; do
  manifest+=("${dir//\//\\}\\")
done < <(cd "$payload" && find . -mindepth 1 -type d | sed 's|^\./||' | awk '{ print gsub("/", "/") "\t" $0 }' | sort -rn | cut -f2-)
{ printf '\xff\xfe'; printf '%s\r\n' "${manifest[@]}" | iconv -f UTF-8 -t UTF-16LE; } >"$list"

defines=(-DVERSION="$version" -DPAYLOAD="$payload" -DPAYLOAD_NSH="$nsh" -DMANIFEST="$list"
         -DOUTFILE="$(realpath -m "$output")" -DICON="$here/../VKJavaLauncher/res/varkel.ico")
if [ -n "${VARKEL_SIGN_CERT:-}" ] && [ -n "${VARKEL_SIGN_KEY:-}" ]; then
  defines+=(-DSIGN_SCRIPT="$here/../scripts/sign.sh")
fi
if [ -n "$shell_package" ] &&
   python3 -c 'import sys, zipfile; sys.exit("AppxSignature.p7x" not in zipfile.ZipFile(sys.argv[1]).namelist())' \
     "$shell_package"; then
  defines+=(-DSHELL_PACKAGE_SIGNED)
fi
[ -n "$package_tool" ] && defines+=(-DPACKAGE_TOOL="$package_tool")
mkdir -p "$(dirname "$output")"
makensis -V2 -NOCD "${defines[@]}" "$here/varkel.nsi"
echo "build-installer: $output ($version, Java program from $java)"
