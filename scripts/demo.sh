#!/usr/bin/env bash
# The launcher's main job, under Wine: lays out an installation from dist/,
# starts Varkel-64.exe with two log-file arguments and reports what the Java
# program received and the exit code.
#
# With VARKEL_WINDOWS_JAVA_HOME (a Linux path to a Java runtime for 64-bit
# Windows) the real Java test program runs; otherwise the test stand-in JVM
# takes its place and records what the launcher handed it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
root=$(pwd)
demo="$root/$build/demo"
session="$root/$build/wine-demo"
rm -rf "$demo"; mkdir -p "$demo/install/lib" "$demo/install/classes"
cp dist/Varkel-64.exe "$demo/install/"
# Wine shows the Linux file system as drive Z:.
winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

tests/windows/tier/wine-session.sh start "$session" >/dev/null
trap 'tests/windows/tier/wine-session.sh stop "$session" >/dev/null' EXIT
export WINEPREFIX="$session/prefix" WINEDEBUG=-all DISPLAY=$(cat "$session/display")

if [ -n "${VARKEL_WINDOWS_JAVA_HOME:-}" ]; then
  echo "Running a real Java program with the Windows Java runtime in $VARKEL_WINDOWS_JAVA_HOME"
  javac --release 8 -d "$demo/install/classes" tests/jvm/java/com/orvane/varkel/Varkel.java
  java_home=$(winpath "$VARKEL_WINDOWS_JAVA_HOME")
  report=$(winpath "$demo/report.txt")
  printf 'JAVA_PATH=%s\r\nJVM_EXTRA_OPTIONS=-Dvarkel.test.report=%s -Dvarkel.test.return=3\r\n' \
    "$java_home" "$report" >"$demo/install/startup.conf"
else
  echo "No Windows Java runtime named (VARKEL_WINDOWS_JAVA_HOME): running against the TEST STAND-IN jvm.dll,"
  echo "which implements the JNI calls the launcher makes and records what it receives."
  mkdir -p "$demo/java/bin/server"
  cp "$build/windows-x86_64/tests/windows/launcher/jvm.dll" "$demo/java/bin/server/"
  printf 'JAVA_PATH=%s\r\n' "$(winpath "$demo/java")" >"$demo/install/startup.conf"
  export VARKEL_STANDIN_RECORD=$(winpath "$demo/record.txt") VARKEL_STANDIN_MAIN_RESULT=3
fi

echo "Starting: Varkel-64.exe \"C:\\logs\\server one.log\" app.log (the Java program returns 3)"
set +e
# Wine quotes an argument that holds blanks when it builds the command line.
/usr/lib/wine/wine64 "$demo/install/Varkel-64.exe" 'C:\logs\server one.log' app.log
code=$?
set -e
echo
if [ -f "$demo/record.txt" ]; then
  echo "What the stand-in JVM received:"
  grep -E '^(option|argc|arg)' "$demo/record.txt" | sed -e 's/\\x5C/\\/g' -e 's/\\u005C/\\/g' -e 's/\\u0020/ /g' -e 's/^/  /'
elif [ -f "$demo/report.txt" ]; then
  echo "What the Java program reported:"
  sed 's/^/  /' "$demo/report.txt" | head -20
fi
echo "Varkel-64.exe exited with code $code"
