#!/usr/bin/env python3
"""Runs the benchmarks that scripts/benchmark.sh has built, prints one table
and writes the same figures into README.md between the benchmark markers.

    report_benchmarks.py --build BUILD_DIR --dist DIST_DIR --starts N [--readme README.md]

1. Start-up under Wine: Varkel-64.exe, installed beside a stand-in jvm.dll
   that returns from mainVK at once, against a GUI program that only exits,
   and against one that does only the system work every launcher start
   includes (the same jvm.dll loaded). A timer inside Wine
   starts the three in turn N times and reports medians.
2. Growth with input size: the Google Benchmark program, time per item at a
   small and a large size.
3. The launcher's reading of the Java installers' registry keys with 100
   installed versions: its own work (the growth benchmark, fake platform)
   and, under Wine, with the real registry calls; and, with JAVA_MIN_VERSION,
   telling the Java version of 100 homes' libraries (growth benchmark).
4. SINGLE_INSTANCE=1: a later launch that hands over to a running first
   instance, against a normal launch and a program that only exits (the same
   timer under Wine); encoding and decoding a request of 2,000 paths natively
   is a row of the growth table.
5. The sizes of the four deliverables.
6. The installer: its size, and the time of a silent install into a new
   folder and of the silent uninstall, under Wine.
"""

import argparse
import datetime
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "quality"))
from pe_image import PeImage  # noqa: E402  (the deliverables' resource bytes)
SESSION = os.path.join(ROOT, "tests", "windows", "tier", "wine-session.sh")
WINE64 = "/usr/lib/wine/wine64"
STAND_IN_MAIN_RESULT = 17  # what the stand-in's mainVK returns (set through its environment)
START_RATIO_GOAL = 1.05
LARGE_CASE_GOAL_MS = 50.0
# Enumerating the installers' registry keys of a machine with 100 installed versions.
INSTALLER_KEYS_BENCHMARK = "JavaHomesFromInstallerKeys"
INSTALLER_KEYS_VERSIONS = 100
INSTALLER_KEYS_GOAL_MS = 5.0
INSTALLER_KEYS_READINGS = 200
# JAVA_MIN_VERSION: telling the Java version of the libraries of 100 Java homes
# from their release files.
JAVA_MIN_VERSION_BENCHMARK = "JavaMinVersionCheck"
JAVA_MIN_VERSION_HOMES = 100
JAVA_MIN_VERSION_GOAL_MS = 5.0
LAUNCHER_SIZE_GOAL = 200 * 1024
# SINGLE_INSTANCE: a request of 2,000 paths encoded and decoded natively, and
# a later launch that hands over, against a normal launch.
HAND_OVER_BENCHMARK = "HandOverRequest"
HAND_OVER_PATHS = 2000
HAND_OVER_GOAL_MS = 5.0
HAND_OVER_RATIO_GOAL = 0.25
# Time per item may vary a little with size (caches, allocation); beyond this
# factor the growth is not linear.
LINEAR_TOLERANCE = 1.5

GROWTH = [
    # (benchmark name, what it measures, unit of the items)
    ("ReadStartupConfig", "reading startup.conf (applyStartupConfigText)", "lines"),
    ("ListLibraryJars", "listing lib\\ and building the class path (fake platform)", "JARs"),
    ("JavaHomesFromPath", "Java homes from PATH (javaPathsFromPATH, fake platform)", "PATH entries"),
    ("JavaHomesFromInstallerKeys", "Java homes from the installers' keys (javaPathsFromInstallerRegistry, fake platform)",
     "installed versions"),
    ("JvmLibraryList", "JVM library list from Java homes (jvmLibraryPaths)", "homes"),
    ("JavaMinVersionCheck", "JAVA_MIN_VERSION: each JVM library's Java version from its home's release file "
     "(versionRefusal, fake platform)", "homes"),
    ("ExtensionParameterString", "shell extension's parameter string (buildParameterString)", "files"),
    ("ReadFileList", "reading a selection list of ~100-character paths (readFileLists, fake platform)", "paths"),
    ("HandOverRequest", "SINGLE_INSTANCE: encoding and decoding a hand-over request of ~90-character paths", "paths"),
]
DELIVERABLES = ["Varkel.exe", "Varkel-64.exe", "Quellis64.dll", "QuellisSetup.exe"]
INSTALLER = "Varkel-Setup.exe"
INSTALLER_RUNS = 5


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def wine_env(session):
    env = dict(os.environ, WINEPREFIX=os.path.join(session, "prefix"), WINEDEBUG="-all",
               VARKEL_STANDIN_MAIN_RESULT=str(STAND_IN_MAIN_RESULT))
    with open(os.path.join(session, "display")) as f:
        env["DISPLAY"] = f.read().strip()
    return env


def install_for_start(build, dist, folder):
    """An installation as the launcher expects it: startup.conf naming a Java
    home whose bin\\server\\jvm.dll is the stand-in, and a lib folder."""
    programs = os.path.join(build, "benchmarks-windows")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, "java", "bin", "server"))
    os.makedirs(os.path.join(folder, "lib"))
    shutil.copy(os.path.join(dist, "Varkel-64.exe"), folder)
    for name in ("exit_only.exe", "exit_after_jvm_load.exe", "exit_after_foreground_grant.exe", "start_timer.exe"):
        shutil.copy(os.path.join(programs, name), folder)
    shutil.copy(os.path.join(programs, "standin_jvm.dll"), os.path.join(folder, "java", "bin", "server", "jvm.dll"))
    for jar in ("varkel-core.jar", "parsers.jar", "managers.jar"):
        open(os.path.join(folder, "lib", jar), "wb").close()
    # No splash screen: the stand-in Java home has no splash library.
    with open(os.path.join(folder, "startup.conf"), "w", newline="") as f:
        f.write("JAVA_PATH=%s\r\nSPLASH_SCREEN=0\r\n" % windows_path(os.path.join(folder, "java")))


def measure_starts(build, dist, starts):
    session = os.path.join(build, "benchmark-wine")
    folder = os.path.join(session, "install")
    install_for_start(build, dist, folder)
    subprocess.run([SESSION, "start", session], check=True, stdout=subprocess.DEVNULL)
    try:
        commands = ['"%s"' % windows_path(os.path.join(folder, name))
                    for name in ("Varkel-64.exe", "exit_only.exe", "exit_after_jvm_load.exe")]
        run = subprocess.run([WINE64, os.path.join(folder, "start_timer.exe"), str(starts)] + commands,
                             cwd=folder, env=wine_env(session), capture_output=True, text=True, timeout=3600)
    finally:
        subprocess.run([SESSION, "stop", session], check=False, stdout=subprocess.DEVNULL)
    if run.returncode != 0:
        sys.exit("the start timer failed (%d):\n%s%s" % (run.returncode, run.stdout, run.stderr))
    results = []
    for line in run.stdout.splitlines():
        m = re.match(r"command\d+ median_ms=([\d.]+) q1_ms=([\d.]+) q3_ms=([\d.]+) runs=(\d+) exit_code=(\d+)", line)
        if m:
            results.append({"median": float(m.group(1)), "q1": float(m.group(2)), "q3": float(m.group(3)),
                            "runs": int(m.group(4)), "exit_code": int(m.group(5))})
    if len(results) != 3:
        sys.exit("unexpected output of the start timer:\n" + run.stdout)
    if results[0]["exit_code"] != STAND_IN_MAIN_RESULT:
        sys.exit("Varkel-64.exe exited with %d, not mainVK's %d: the start did not reach the Java program"
                 % (results[0]["exit_code"], STAND_IN_MAIN_RESULT))
    return results


def measure_hand_over(build, dist, starts):
    """SINGLE_INSTANCE=1: a first instance held in mainVK serves; the timer
    then takes turns between a later launch of that installation (it hands
    over and ends with 0), a normal launch of an installation without the key
    (to mainVK, which returns at once), a program that only exits and one
    that only grants the foreground (user32.dll)."""
    session = os.path.join(build, "benchmark-wine")
    served = os.path.join(session, "served")
    plain = os.path.join(session, "install")
    install_for_start(build, dist, plain)
    install_for_start(build, dist, served)
    with open(os.path.join(served, "startup.conf"), "a", newline="") as f:
        f.write("SINGLE_INSTANCE=1\r\n")
    release = os.path.join(session, "release")
    if os.path.exists(release):
        os.remove(release)
    subprocess.run([SESSION, "start", session], check=True, stdout=subprocess.DEVNULL)
    first = None
    try:
        env = wine_env(session)
        first_env = dict(env, VARKEL_STANDIN_RELEASE_FILE=windows_path(release))
        first = subprocess.Popen([WINE64, os.path.join(served, "Varkel-64.exe")], cwd=served, env=first_env)
        for _ in range(600):
            if os.path.exists(release + ".held"):
                break
            time.sleep(0.05)
        else:
            sys.exit("the first instance did not reach mainVK")
        commands = ['"%s" "C:\\Logs\\one file.log"' % windows_path(os.path.join(served, "Varkel-64.exe")),
                    '"%s" "C:\\Logs\\one file.log"' % windows_path(os.path.join(plain, "Varkel-64.exe")),
                    '"%s"' % windows_path(os.path.join(plain, "exit_only.exe")),
                    '"%s"' % windows_path(os.path.join(plain, "exit_after_foreground_grant.exe"))]
        run = subprocess.run([WINE64, os.path.join(plain, "start_timer.exe"), str(starts)] + commands,
                             cwd=plain, env=env, capture_output=True, text=True, timeout=3600)
    finally:
        open(release, "w").close()
        if first:
            try:
                first.wait(timeout=60)
            except subprocess.TimeoutExpired:
                first.kill()
        subprocess.run([SESSION, "stop", session], check=False, stdout=subprocess.DEVNULL)
    results = []
    for line in run.stdout.splitlines():
        m = re.match(r"command\d+ median_ms=([\d.]+) q1_ms=([\d.]+) q3_ms=([\d.]+) runs=(\d+) exit_code=(\d+)", line)
        if m:
            results.append({"median": float(m.group(1)), "q1": float(m.group(2)), "q3": float(m.group(3)),
                            "exit_code": int(m.group(5))})
    if len(results) != 4 or results[0]["exit_code"] != 0 or results[1]["exit_code"] != STAND_IN_MAIN_RESULT:
        sys.exit("the hand-over timing failed (%d):\n%s%s" % (run.returncode, run.stdout, run.stderr))
    return results


def hand_over_lines(hand_over, growth):
    handed, normal, exit_only, grant = hand_over
    request_ms = dict(growth[HAND_OVER_BENCHMARK])[HAND_OVER_PATHS]
    return [
        "",
        "`SINGLE_INSTANCE=1` (the same timer; a first instance held in `mainVK` serves; goal: a launch that hands "
        "over takes at most %.2f of a normal launch):" % HAND_OVER_RATIO_GOAL,
        "",
        "| program | median | quartiles | ÷ normal launch |",
        "|---|---|---|---|",
        "| Varkel-64.exe with one file, handed over to the running instance (ends with 0) | %.1f ms | %.1f–%.1f ms "
        "| **%.2f** (goal ≤ %.2f) |" % (handed["median"], handed["q1"], handed["q3"],
                                      handed["median"] / normal["median"], HAND_OVER_RATIO_GOAL),
        "| Varkel-64.exe with one file, a normal launch to `mainVK` (no key) | %.1f ms | %.1f–%.1f ms | 1.00 |"
        % (normal["median"], normal["q1"], normal["q3"]),
        "| a GUI program that only exits | %.1f ms | %.1f–%.1f ms | %.2f |"
        % (exit_only["median"], exit_only["q1"], exit_only["q3"], exit_only["median"] / normal["median"]),
        "| a GUI program that grants the foreground (`AllowSetForegroundWindow`, user32.dll), then exits "
        "| %.1f ms | %.1f–%.1f ms | %.2f |"
        % (grant["median"], grant["q1"], grant["q3"], grant["median"] / normal["median"]),
        "",
        "The goal is not met against this stand-in, and cannot be: its JVM is created in no time, so a normal "
        "launch costs little more than the process start that both pay (here %.1f ms beyond a program that only "
        "exits), while the hand-over's %.1f ms beyond it are mostly user32.dll, which `AllowSetForegroundWindow` "
        "needs and which under Wine starts the graphics driver (the program that only grants the foreground takes "
        "%.1f ms more than one that only exits), and advapi32.dll for the token checks. Against a real Java, whose JVM creation alone takes a second or more, the "
        "hand-over saves all of that. Encoding and decoding a request of %s paths natively (goal < %.0f ms): "
        "**%s** (%s)."
        % (normal["median"] - exit_only["median"], handed["median"] - exit_only["median"],
           grant["median"] - exit_only["median"], "{:,}".format(HAND_OVER_PATHS), HAND_OVER_GOAL_MS, format_time(request_ms),
           "met" if request_ms < HAND_OVER_GOAL_MS else "**missed**"),
    ]


def measure_installer_keys(build):
    """The median of one reading of the installers' keys under Wine, in the
    benchmark's own prefix (the timer writes those keys and removes them)."""
    session = os.path.join(build, "benchmark-wine")
    timer = os.path.join(build, "benchmarks-windows", "installer_keys_timer.exe")
    subprocess.run([SESSION, "start", session], check=True, stdout=subprocess.DEVNULL)
    try:
        run = subprocess.run([WINE64, timer, str(INSTALLER_KEYS_VERSIONS), str(INSTALLER_KEYS_READINGS)],
                             env=wine_env(session), capture_output=True, text=True, timeout=600)
    finally:
        subprocess.run([SESSION, "stop", session], check=False, stdout=subprocess.DEVNULL)
    m = re.search(r"median_ms=([\d.]+) q1_ms=([\d.]+) q3_ms=([\d.]+)", run.stdout)
    if run.returncode != 0 or not m:
        sys.exit("the installer keys timer failed (%d):\n%s%s" % (run.returncode, run.stdout, run.stderr))
    return {"median": float(m.group(1)), "q1": float(m.group(2)), "q3": float(m.group(3))}


def measure_installer(build, dist, runs=INSTALLER_RUNS):
    """Medians of a silent per-user install of dist/Varkel-Setup.exe into a
    new folder and of its silent uninstall, in seconds, wall-clock around the
    Wine process (the installer waits for QuellisSetup; the uninstaller is
    given _?= so that it works in place and its exit ends its work)."""
    session = os.path.join(build, "benchmark-wine")
    subprocess.run([SESSION, "start", session], check=True, stdout=subprocess.DEVNULL)
    # No menu entries on the Linux desktop for the installer's shortcut.
    env = dict(wine_env(session), WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    installs, uninstalls = [], []
    try:
        for run in range(runs):
            folder = os.path.join(session, "installer-run-%d" % run)
            shutil.rmtree(folder, ignore_errors=True)
            target = windows_path(folder)
            began = time.monotonic()
            subprocess.run([WINE64, os.path.join(dist, INSTALLER), "/S", "/D=" + target], env=env, check=True)
            installs.append(time.monotonic() - began)
            began = time.monotonic()
            subprocess.run([WINE64, os.path.join(folder, "Uninstall.exe"), "/S", "_?=" + target], env=env, check=True)
            uninstalls.append(time.monotonic() - began)
            shutil.rmtree(folder, ignore_errors=True)  # _?= leaves the uninstaller itself
    finally:
        subprocess.run([SESSION, "stop", session], check=False, stdout=subprocess.DEVNULL)
    return {"size": os.path.getsize(os.path.join(dist, INSTALLER)), "runs": runs,
            "install": statistics.median(installs), "uninstall": statistics.median(uninstalls)}


def installer_lines(installer):
    return ["",
            "The installer (%s, NSIS, LZMA; %d silent runs under Wine, medians, wall-clock around the Wine process):"
            % (INSTALLER, installer["runs"]),
            "",
            "| what | figure |",
            "|---|---|",
            "| size of %s | %.1f KB |" % (INSTALLER, installer["size"] / 1024),
            "| silent per-user install (`/S /D=`), QuellisSetup included | %.2f s |" % installer["install"],
            "| silent uninstall (`/S _?=`, waiting for its work), QuellisSetup included | %.2f s |" % installer["uninstall"]]


def measure_growth(build):
    program = os.path.join(build, "benchmarks", "scaling_benchmark")
    run = subprocess.run([program, "--benchmark_format=json", "--benchmark_min_time=0.5"],
                         check=True, capture_output=True, text=True)
    figures = {}
    for entry in json.loads(run.stdout)["benchmarks"]:
        if entry.get("error_occurred"):
            sys.exit("benchmark %s failed: %s" % (entry["name"], entry.get("error_message")))
        name, size = entry["name"].split("/")
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[entry["time_unit"]]
        figures.setdefault(name, []).append((int(size), entry["real_time"] * scale))
    return figures


def format_time(ms):
    if ms >= 1:
        return "%.2f ms" % ms
    if ms >= 1e-3:
        return "%.2f µs" % (ms * 1e3)
    return "%.1f ns" % (ms * 1e6)


def tables(starts, growth, installer_wine, sizes, repetitions):
    launcher, exit_only, jvm_load = starts
    lines = []
    lines.append("Start-up under Wine (Varkel-64.exe to `mainVK` with a stand-in JVM that returns at once; "
                 "%d starts of each program, taken in turn, timed inside Wine with QueryPerformanceCounter "
                 "around CreateProcessW and the wait):" % repetitions)
    lines.append("")
    lines.append("| program | median | quartiles | launcher ÷ this |")
    lines.append("|---|---|---|---|")
    lines.append("| Varkel-64.exe, started to `mainVK` | %.1f ms | %.1f–%.1f ms | 1.00 |"
                 % (launcher["median"], launcher["q1"], launcher["q3"]))
    lines.append("| a GUI program that only exits | %.1f ms | %.1f–%.1f ms | **%.2f** (goal ≤ %.2f) |"
                 % (exit_only["median"], exit_only["q1"], exit_only["q3"], launcher["median"] / exit_only["median"],
                    START_RATIO_GOAL))
    lines.append("| a GUI program that loads the same jvm.dll, then exits | %.1f ms | %.1f–%.1f ms | **%.2f** |"
                 % (jvm_load["median"], jvm_load["q1"], jvm_load["q3"], launcher["median"] / jvm_load["median"]))
    lines.append("")
    lines.append("The launcher loads user32.dll only when it shows a box (under Wine that load starts the graphics "
                 "driver, some 30 ms) and advapi32.dll only when it reads the registry. Beyond a program that only "
                 "exits, a start costs the load of jvm.dll itself, which no launcher avoids; the second ratio, "
                 "against a program that loads the same jvm.dll, is the launcher's own work alone.")
    lines.append("")
    lines.append("Growth with input size (native, Google Benchmark; time per item at both sizes, equal for linear growth):")
    lines.append("")
    lines.append("| operation | small | per item | large | per item | growth | large case (goal < %d ms) |"
                 % LARGE_CASE_GOAL_MS)
    lines.append("|---|---|---|---|---|---|---|")
    for name, what, unit in GROWTH:
        (small, small_ms), (large, large_ms) = sorted(growth[name])
        per_small, per_large = small_ms / small, large_ms / large
        linear = per_large / per_small <= LINEAR_TOLERANCE
        lines.append("| %s | %s %s | %s | %s %s | %s | %s (×%.2f per item) | %s %s |" % (
            what, "{:,}".format(small), unit, format_time(per_small), "{:,}".format(large), unit,
            format_time(per_large), "linear" if linear else "**faster than linear**", per_large / per_small,
            format_time(large_ms), "ok" if large_ms < LARGE_CASE_GOAL_MS else "**over**"))
    installer_ms = dict(growth[INSTALLER_KEYS_BENCHMARK])[INSTALLER_KEYS_VERSIONS]
    lines.append("")
    lines.append("Reading the Java installers' registry keys with %d installed versions (goal < %.0f ms): the "
                 "launcher's own work **%s** (%s); under Wine, with the real registry calls, **%s** median "
                 "(quartiles %s–%s), where every registry call is a round trip to the wineserver."
                 % (INSTALLER_KEYS_VERSIONS, INSTALLER_KEYS_GOAL_MS, format_time(installer_ms),
                    "met" if installer_ms < INSTALLER_KEYS_GOAL_MS else "**missed**",
                    format_time(installer_wine["median"]), format_time(installer_wine["q1"]),
                    format_time(installer_wine["q3"])))
    min_version_ms = dict(growth[JAVA_MIN_VERSION_BENCHMARK])[JAVA_MIN_VERSION_HOMES]
    lines.append("")
    lines.append("With `JAVA_MIN_VERSION`, telling the Java version of the JVM libraries of %d Java homes from "
                 "their release files (goal < %.0f ms natively): **%s** (%s)."
                 % (JAVA_MIN_VERSION_HOMES, JAVA_MIN_VERSION_GOAL_MS, format_time(min_version_ms),
                    "met" if min_version_ms < JAVA_MIN_VERSION_GOAL_MS else "**missed**"))
    lines.append("")
    lines.append("Sizes of the deliverables (stripped; goal for each launcher: under %d KB):" % (LAUNCHER_SIZE_GOAL // 1024))
    lines.append("")
    lines.append("| file | size | of which resources (icons, version, manifest) |")
    lines.append("|---|---|---|")
    for name in DELIVERABLES:
        size, resources = sizes[name]
        note = ""
        if name.startswith("Varkel"):
            note = " (goal met)" if size < LAUNCHER_SIZE_GOAL else " (over the goal)"
        lines.append("| %s | %.1f KB%s | %.1f KB |" % (name, size / 1024, note, resources / 1024))
    return lines


def file_sizes(dist):
    """{name: (file bytes, resource bytes)} of the deliverables."""
    sizes = {}
    for name in DELIVERABLES:
        with open(os.path.join(dist, name), "rb") as f:
            data = f.read()
        resources = sum(len(blob) for entries in PeImage(data).resources().values() for _, blob in entries)
        sizes[name] = (len(data), resources)
    return sizes


def machine_line():
    wine = subprocess.run([WINE64, "--version"], capture_output=True, text=True).stdout.strip()
    return "Measured %s on %d cores, %s." % (datetime.date.today().isoformat(), os.cpu_count() or 0, wine)


def write_readme(readme, lines):
    with open(readme) as f:
        text = f.read()
    start, end = "<!-- benchmark:start -->", "<!-- benchmark:end -->"
    if start not in text or end not in text:
        sys.exit("README has no benchmark markers")
    before, rest = text.split(start, 1)
    _, after = rest.split(end, 1)
    with open(readme, "w") as f:
        f.write(before + start + "\n" + "\n".join(lines) + "\n" + end + after)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", required=True)
    parser.add_argument("--dist", required=True)
    parser.add_argument("--starts", type=int, default=100)
    parser.add_argument("--readme")
    args = parser.parse_args()
    build, dist = os.path.abspath(args.build), os.path.abspath(args.dist)

    sizes = file_sizes(dist)
    growth = measure_growth(build)
    starts = measure_starts(build, dist, args.starts)
    hand_over = measure_hand_over(build, dist, args.starts)
    installer_wine = measure_installer_keys(build)
    installer = measure_installer(build, dist)
    lines = (tables(starts, growth, installer_wine, sizes, args.starts) + hand_over_lines(hand_over, growth) +
             installer_lines(installer)) + ["", machine_line()]
    print("\n".join(lines))
    if args.readme:
        write_readme(args.readme, lines)
        print("\n(written into %s)" % args.readme)


if __name__ == "__main__":
    main()
