#!/usr/bin/env python3
"""Checks the four deliverables and the installer as files: machine type,
subsystem, imported DLLs, version resources, manifests, the launcher's icon
group, the extension's icons and exports.

    check_binaries.py --launcher32 Varkel.exe --launcher64 Varkel-64.exe \
                      --extension Quellis64.dll --setup QuellisSetup.exe \
                      --installer Varkel-Setup.exe

Every finding is printed; the exit status is 1 when there is any. Before the
real files are judged, the checker proves on altered copies of them that each
kind of fault it looks for is reported (a checker that cannot fail checks
nothing).
"""

import argparse
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

from pe_image import (IMAGE_FILE_DLL, RT_GROUP_ICON, RT_ICON, RT_MANIFEST, RT_VERSION, PeFormatError, PeImage,
                      describe_icon_image, parse_icon_group, parse_version_info)

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664
SUBSYSTEM_WINDOWS_GUI = 2
VOS_NT_WINDOWS32 = 0x00040004
VFT_APP = 1
VFT_DLL = 2
LANGUAGE_US_ENGLISH = 0x0409
CODE_PAGE_UTF16 = 1200
STRING_BLOCK = "040904b0"
CREATEPROCESS_MANIFEST_RESOURCE_ID = 1
ISOLATIONAWARE_MANIFEST_RESOURCE_ID = 2
LAUNCHER_ICON_GROUP = 102

# Windows' own DLLs: the deliverables must run on a clean Windows, so no
# MinGW runtime DLL (libgcc, libstdc++, winpthread) may be imported.
SYSTEM_DLL = re.compile(
    r"^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|msvcrt)\.dll$|^api-ms-win-crt-[a-z0-9-]+\.dll$",
    re.IGNORECASE)

# The launcher loads user32.dll only when it shows a box or moves its console
# window, and advapi32.dll only when it reads the registry: importing them
# would add their loads to every start.
LAUNCHER_DEFERRED_DLLS = ("user32.dll", "advapi32.dll")

LAUNCHER_STRINGS = {
    "CompanyName": re.compile(r"^Orvane$"),
    "FileDescription": re.compile(r"^[^\r\n]+$"),
    "FileVersion": re.compile(r"^6\.0\.0\.0$"),
    "InternalName": re.compile(r"^Varkel$"),
    "LegalCopyright": re.compile(r"^[^\r\n]*Orvane[^\r\n]*$"),
    "OriginalFilename": re.compile(r"^Varkel\.exe$"),
    "ProductName": re.compile(r"^Varkel$"),
    "ProductVersion": re.compile(r"^6\.0\.0\.0$"),
}
EXTENSION_STRINGS = {
    "FileDescription": re.compile(r"^Varkel Shell Extension$"),
    "InternalName": re.compile(r"^Quellis\.dll$"),
    "OriginalFilename": re.compile(r"^Quellis\.dll$"),
}
EXTENSION_EXPORTS = {
    "DllRegisterServer": 1,
    "DllUnregisterServer": 2,
    "RegisterVarkelApp": 3,
    "UnregisterVarkelApp": 4,
    "DllCanUnloadNow": 5,
    "DllGetClassObject": 6,
}
# The application icon: each size once in 24-bit and once in 32-bit colour,
# the 256-pixel ones PNG-compressed.
LAUNCHER_ICON_IMAGES = sorted((size, bits) for size in (256, 96, 48, 32, 16) for bits in (24, 32))
# The extension's menu pictures: one image per group; number 101 is the
# Windows 11 menu command's (Explorer names it by number).
EXTENSION_ICON_GROUPS = {
    "VARKEL_ICON_00": (16, 32),
    "VARKEL_ICON_13": (13, 24),
    "VARKEL_ICON_15": (15, 24),
    "VARKEL_ICON_16": (16, 32),
    "VARKEL_ICON_17": (17, 24),
    "VARKEL_ICON_21": (21, 24),
    101: (16, 32),
}
MANIFEST_NS = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
               "c1": "urn:schemas-microsoft-com:compatibility.v1"}
SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
SETTINGS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"
COMMON_CONTROLS = {"type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
                   "processorArchitecture": "*", "publicKeyToken": "6595b64144ccf1df", "language": "*"}
# supportedOS from Windows Vista to Windows 10 and 11.
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}


class ExpectedManifest:
    """What one manifest declares: asInvoker always, Common-Controls 6 or not,
    the windowsSettings as {(namespace, name): value}, the supportedOS list or
    not; exact: no element beyond these (nothing else that would change how
    the process behaves)."""

    def __init__(self, common_controls, settings, supported_os, exact):
        self.common_controls = common_controls
        self.settings = settings
        self.supported_os = supported_os
        self.exact = exact

    def elements(self):
        v1, v3, c1 = ("{%s}" % MANIFEST_NS[k] for k in ("v1", "v3", "c1"))
        tags = {v1 + "assembly", v3 + "trustInfo", v3 + "security", v3 + "requestedPrivileges",
                v3 + "requestedExecutionLevel"}
        if self.common_controls:
            tags |= {v1 + "dependency", v1 + "dependentAssembly", v1 + "assemblyIdentity"}
        if self.supported_os:
            tags |= {c1 + "compatibility", c1 + "application", c1 + "supportedOS"}
        if self.settings:
            tags |= {v3 + "application", v3 + "windowsSettings"}
            tags |= {"{%s}%s" % key for key in self.settings}
        return tags


# The Java program runs in the launcher's process: themed controls, per-monitor
# DPI with its fallbacks, today's systems and long paths, as the Java runtime's
# own launcher declares them; no activeCodePage (it would change the Java
# program's default charset and file-name encoding) nor anything else.
LAUNCHER_SETTINGS = {
    (SETTINGS_2005, "dpiAware"): "true/PM",
    (SETTINGS_2016, "dpiAwareness"): "PerMonitorV2, PerMonitor, system",
}
LAUNCHER_MANIFEST = ExpectedManifest(True, {**LAUNCHER_SETTINGS, (SETTINGS_2016, "longPathAware"): "true"},
                                 SUPPORTED_OS, exact=True)
# The setup tool registers a DLL that Explorer loads only from a path within
# MAX_PATH: it has no use for long paths.
SETUP_MANIFEST = ExpectedManifest(True, LAUNCHER_SETTINGS, SUPPORTED_OS, exact=True)
# An in-process DLL decides none of the process's settings; its isolation-aware
# manifest asks for Common-Controls 6 for its own resources.
EXTENSION_MANIFEST = ExpectedManifest(True, {}, None, exact=True)
# NSIS writes its own identity and description beside what the script asks for.
INSTALLER_MANIFEST = ExpectedManifest(True, {(SETTINGS_2005, "dpiAware"): "true",
                                         (SETTINGS_2016, "dpiAwareness"): "PerMonitorV2,System"},
                                  SUPPORTED_OS, exact=False)
OBJDUMP = {MACHINE_I386: "i686-w64-mingw32-objdump", MACHINE_AMD64: "x86_64-w64-mingw32-objdump"}


class Findings:
    def __init__(self, label):
        self.label = label
        self.items = []

    def add(self, what):
        self.items.append("%s: %s" % (self.label, what))

    def expect(self, holds, what):
        if not holds:
            self.add(what)


def check_header(image, found, machine, is_dll):
    found.expect(image.machine == machine, "machine type %#x, expected %#x" % (image.machine, machine))
    found.expect(bool(image.characteristics & IMAGE_FILE_DLL) == is_dll,
                 "DLL flag %s, expected %s" % (bool(image.characteristics & IMAGE_FILE_DLL), is_dll))
    if not is_dll:
        found.expect(image.subsystem == SUBSYSTEM_WINDOWS_GUI,
                     "subsystem %d, expected %d (GUI)" % (image.subsystem, SUBSYSTEM_WINDOWS_GUI))


def objdump_dlls(path, machine):
    """The imported DLL names as binutils reads them: a second opinion on the parser."""
    tool = shutil.which(OBJDUMP.get(machine, "")) if machine in OBJDUMP else None
    if not tool:
        return None
    run = subprocess.run([tool, "-p", path], check=False, capture_output=True)
    if run.returncode != 0:
        return None
    out = run.stdout.decode("latin-1")
    return sorted(m.group(1) for m in re.finditer(r"^\s*DLL Name: (\S+)", out, re.MULTILINE))


def check_imports(image, found, path):
    dlls = image.imported_dlls()
    found.expect(dlls, "imports no DLL at all (the import table was not found)")
    for dll in dlls:
        found.expect(SYSTEM_DLL.match(dll), "imports %s, which is not a Windows system DLL" % dll)
    second = objdump_dlls(path, image.machine)
    if second is not None:
        found.expect(second == sorted(dlls), "objdump reads the imports as %s, this checker as %s" % (second, sorted(dlls)))


def single_resource(resources, found, rtype, name, what):
    entries = resources.get((rtype, name), [])
    if len(entries) != 1:
        found.add("%d %s resource(s) with id %s, expected one" % (len(entries), what, name))
        return None
    return entries[0][1]


def check_version(resources, found, version, file_type, strings, exact_keys):
    blobs = [key for key in resources if key[0] == RT_VERSION]
    found.expect(len(blobs) == 1, "%d version resources, expected one" % len(blobs))
    if not blobs:
        return
    fixed, tables, translations = parse_version_info(resources[blobs[0]][0][1])
    found.expect(fixed["file_version"] == version, "file version %s" % (fixed["file_version"],))
    found.expect(fixed["product_version"] == version, "product version %s" % (fixed["product_version"],))
    found.expect(fixed["file_os"] == VOS_NT_WINDOWS32, "file OS %#x, expected VOS_NT_WINDOWS32" % fixed["file_os"])
    found.expect(fixed["file_type"] == file_type, "file type %d, expected %d" % (fixed["file_type"], file_type))
    found.expect(list(tables) == [STRING_BLOCK], "string tables %s, expected only %s" % (list(tables), STRING_BLOCK))
    found.expect((LANGUAGE_US_ENGLISH, CODE_PAGE_UTF16) in translations, "translation %s lacks 0409/1200" % translations)
    table = tables.get(STRING_BLOCK, {})
    for key, pattern in strings.items():
        found.expect(key in table and pattern.match(table[key]), "%s is %r" % (key, table.get(key)))
    if exact_keys:
        found.expect(sorted(table) == sorted(strings), "string entries %s, expected %s" % (sorted(table), sorted(strings)))


def check_manifest(resources, found, resource_id, expected):
    manifests = [key for key in resources if key[0] == RT_MANIFEST]
    found.expect(manifests == [(RT_MANIFEST, resource_id)],
                 "manifest resources %s, expected id %d only" % ([k[1] for k in manifests], resource_id))
    blob = single_resource(resources, found, RT_MANIFEST, resource_id, "manifest")
    if blob is None:
        return
    try:
        root = ElementTree.fromstring(blob)
    except ElementTree.ParseError as error:
        found.add("manifest is not well-formed XML: %s" % error)
        return
    levels = root.findall(".//v3:requestedExecutionLevel", MANIFEST_NS) + root.findall(".//v1:requestedExecutionLevel", MANIFEST_NS)
    found.expect(len(levels) == 1, "%d requestedExecutionLevel elements, expected one" % len(levels))
    for level in levels:
        found.expect(level.get("level") == "asInvoker", "execution level %r, expected asInvoker" % level.get("level"))
        found.expect(level.get("uiAccess") == "false", "uiAccess %r, expected false" % level.get("uiAccess"))
    check_common_controls(root, found, expected.common_controls)
    check_windows_settings(root, found, expected.settings)
    check_supported_os(root, found, expected.supported_os)
    if expected.exact:
        tags = {element.tag for element in root.iter()}
        found.expect(tags == expected.elements(), "manifest elements beyond what it declares: %s, missing: %s" %
                     (sorted(tags - expected.elements()), sorted(expected.elements() - tags)))


def check_common_controls(root, found, wanted):
    identities = [identity for identity in root.findall("v1:dependency/v1:dependentAssembly/v1:assemblyIdentity", MANIFEST_NS)
                  if identity.get("name") == COMMON_CONTROLS["name"]]
    found.expect(len(identities) == (1 if wanted else 0),
                 "%d Common-Controls dependencies, expected %d" % (len(identities), 1 if wanted else 0))
    for identity in identities:
        found.expect(dict(identity.attrib) == COMMON_CONTROLS, "Common-Controls dependency %s, expected %s" %
                     (dict(identity.attrib), COMMON_CONTROLS))


def check_windows_settings(root, found, wanted):
    values = {}
    for settings in root.findall("v3:application/v3:windowsSettings", MANIFEST_NS):
        for setting in settings:
            namespace, name = setting.tag[1:].split("}", 1) if setting.tag.startswith("{") else ("", setting.tag)
            values.setdefault((namespace, name), []).append((setting.text or "").strip())
    for (namespace, name), value in wanted.items():
        found.expect(values.get((namespace, name)) == [value], "windowsSettings %s (%s) is %s, expected [%r]" %
                     (name, namespace, values.get((namespace, name)), value))


def check_supported_os(root, found, wanted):
    ids = [system.get("Id", "").lower() for system in root.findall("c1:compatibility/c1:application/c1:supportedOS", MANIFEST_NS)]
    expected = sorted(wanted or {})
    found.expect(sorted(ids) == expected, "supportedOS %s, expected %s" %
                 ([SUPPORTED_OS.get(i, i) for i in ids], [name for i, name in SUPPORTED_OS.items() if i in expected]))


def icon_images(resources, found, group_name):
    blob = single_resource(resources, found, RT_GROUP_ICON, group_name, "icon group")
    if blob is None:
        return []
    images = []
    for width, height, bits, icon_id in parse_icon_group(blob):
        image = single_resource(resources, found, RT_ICON, icon_id, "icon image")
        if image is None:
            continue
        try:
            kind, real_width, real_height, real_bits = describe_icon_image(image)
        except (PeFormatError, KeyError, ValueError) as error:
            found.add("icon %d cannot be read: %s" % (icon_id, error))
            continue
        found.expect((real_width, real_height, real_bits) == (width, height, bits),
                     "icon %d is %dx%d at %d bits, its group says %dx%d at %d" %
                     (icon_id, real_width, real_height, real_bits, width, height, bits))
        images.append((width, height, bits, kind))
    return images


def check_launcher_icon(resources, found):
    images = icon_images(resources, found, LAUNCHER_ICON_GROUP)
    found.expect(sorted((w, b) for w, h, b, _ in images) == LAUNCHER_ICON_IMAGES,
                 "icon group %d holds %s" % (LAUNCHER_ICON_GROUP, sorted((w, b) for w, h, b, _ in images)))
    for width, height, bits, kind in images:
        found.expect(width == height, "icon image %dx%d is not square" % (width, height))
        found.expect((kind == "png") == (width == 256), "the %d-pixel %d-bit image is stored as %s" % (width, bits, kind))


def check_extension_icons(resources, found):
    groups = sorted((name for rtype, name in resources if rtype == RT_GROUP_ICON), key=str)
    found.expect(groups == sorted(EXTENSION_ICON_GROUPS, key=str), "icon groups %s" % groups)
    for name, (size, bits) in EXTENSION_ICON_GROUPS.items():
        images = icon_images(resources, found, name)
        found.expect([(w, h, b) for w, h, b, _ in images] == [(size, size, bits)],
                     "%s holds %s, expected one %dx%d image at %d bits" % (name, images, size, size, bits))


def check_all(paths):
    """Every finding about the five files, as a list of texts."""
    findings = []

    def image_of(label):
        found = Findings(label)
        findings.append(found)
        try:
            with open(paths[label], "rb") as f:
                image = PeImage(f.read())
            return image, image.resources(), found
        except (OSError, PeFormatError, ValueError) as error:
            found.add("cannot be read: %s" % error)
            return None, None, found

    for label, machine in (("launcher32", MACHINE_I386), ("launcher64", MACHINE_AMD64)):
        image, resources, found = image_of(label)
        if image is None:
            continue
        check_header(image, found, machine, is_dll=False)
        check_imports(image, found, paths[label])
        for dll in sorted(set(LAUNCHER_DEFERRED_DLLS) & {name.lower() for name in image.imported_dlls()}):
            found.add("imports %s, which the launcher loads only when it needs it" % dll)
        check_version(resources, found, (6, 0, 0, 0), VFT_APP, LAUNCHER_STRINGS, exact_keys=True)
        check_manifest(resources, found, CREATEPROCESS_MANIFEST_RESOURCE_ID, LAUNCHER_MANIFEST)
        check_launcher_icon(resources, found)

    image, resources, found = image_of("extension")
    if image is not None:
        check_header(image, found, MACHINE_AMD64, is_dll=True)
        check_imports(image, found, paths["extension"])
        check_version(resources, found, (1, 1, 0, 0), VFT_DLL, EXTENSION_STRINGS, exact_keys=False)
        check_manifest(resources, found, ISOLATIONAWARE_MANIFEST_RESOURCE_ID, EXTENSION_MANIFEST)
        check_extension_icons(resources, found)
        exports = image.exports()
        found.expect(exports == EXTENSION_EXPORTS, "exports %s, expected %s" % (exports, EXTENSION_EXPORTS))

    image, resources, found = image_of("setup")
    if image is not None:
        check_header(image, found, MACHINE_AMD64, is_dll=False)
        check_imports(image, found, paths["setup"])
        check_manifest(resources, found, CREATEPROCESS_MANIFEST_RESOURCE_ID, SETUP_MANIFEST)
        found.expect(sorted(resources) == [(RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID)],
                     "resources %s: the manifest is the setup tool's only resource" % sorted(resources))

    image, resources, found = image_of("installer")
    if image is not None:
        check_header(image, found, MACHINE_AMD64, is_dll=False)
        check_manifest(resources, found, CREATEPROCESS_MANIFEST_RESOURCE_ID, INSTALLER_MANIFEST)

    return [item for found in findings for item in found.items]


# ---- Proof that each check can fail ----------------------------------------------
def replace_once(data, old, new, after=b""):
    """data with the first old after the first anchor text replaced by new (same length)."""
    assert len(old) == len(new)
    at = data.find(old, max(data.find(after), 0))
    if at < 0:
        return None
    return data[:at] + new + data[at + len(old):]


def set_machine(data, machine):
    pe = int.from_bytes(data[0x3C:0x40], "little")
    return data[:pe + 4] + machine.to_bytes(2, "little") + data[pe + 6:]


def set_subsystem(data, subsystem):
    pe = int.from_bytes(data[0x3C:0x40], "little")
    at = pe + 24 + 68
    return data[:at] + subsystem.to_bytes(2, "little") + data[at + 2:]


# A comment among the launcher's windowsSettings, room enough for an element.
DPI_COMMENT = b"<!-- Windows 10 1607 and later read dpiAwareness; older systems dpiAware. -->"

FAULTS = [
    # (file, what the fault is, how to make it, a text the report must contain)
    ("launcher32", "64-bit machine type", lambda d: set_machine(d, MACHINE_AMD64), "machine type"),
    ("launcher64", "console subsystem", lambda d: set_subsystem(d, 3), "subsystem 3"),
    ("setup", "an import of the MinGW runtime", lambda d: replace_once(d, b"KERNEL32.dll", b"libgcc_s.dll"), "libgcc_s.dll"),
    ("launcher32", "an import of user32", lambda d: replace_once(d, b"msvcrt.dll", b"USER32.dll"), "user32.dll"),
    ("launcher64", "a wrong FileVersion text", lambda d: replace_once(d, "6.0.0.0".encode("utf-16-le"), "6.0.0.1".encode("utf-16-le")), "FileVersion"),
    ("launcher32", "a manifest asking for elevation", lambda d: replace_once(d, b'"asInvoker"', b'"asInvokeR"'), "execution level"),
    ("extension", "a missing export", lambda d: replace_once(d, b"DllCanUnloadNow\0", b"DllCanUnloadNox\0"), "exports"),
    ("launcher64", "a 256-pixel image that is no PNG", lambda d: replace_once(d, b"\x89PNG\r\n\x1a\n", b"\x89PNX\r\n\x1a\n"), "256"),
    ("launcher64", "a DPI awareness without per-monitor v2",
     lambda d: replace_once(d, b">PerMonitorV2,", b">PerMonitorV3,"), "dpiAwareness"),
    ("launcher32", "an activeCodePage",
     lambda d: replace_once(d, DPI_COMMENT, b"<activeCodePage>UTF-8</activeCodePage>".ljust(len(DPI_COMMENT))),
     "activeCodePage"),
    ("launcher32", "Common-Controls for one architecture only",
     lambda d: replace_once(d, b'processorArchitecture="*"', b'processorArchitecture="x"'), "Common-Controls"),
    ("launcher64", "a long-path declaration set to false",
     lambda d: replace_once(d, b">true</longPathAware>", b">fals</longPathAware>"), "longPathAware"),
    ("setup", "a supportedOS missing", lambda d: replace_once(d, b"{8e0f7a12-", b"{8e0f7a13-"), "supportedOS"),
    ("extension", "no Common-Controls dependency", lambda d: replace_once(d, b"Common-Controls", b"Common-Contro1s"),
     "Common-Controls"),
    ("installer", "a DPI awareness of the system only",
     lambda d: replace_once(d, b">PerMonitorV2,System<", b">System,PerMonitorV2<"), "dpiAwareness"),
    ("extension", "a wrong description", lambda d: replace_once(d, "Shell Extension".encode("utf-16-le"), "Shell Extensio!".encode("utf-16-le"),
                                                              after="FileDescription".encode("utf-16-le")), "FileDescription"),
]


def prove_checks_can_fail(paths, scratch):
    problems = []
    try:
        originals = {label: open(path, "rb").read() for label, path in paths.items()}
    except OSError:
        return problems  # a missing file is reported by the checks themselves
    for label, what, alter, expected in FAULTS:
        altered = alter(originals[label])
        if altered is None:
            problems.append("cannot plant %s in %s: the bytes to alter were not found" % (what, label))
            continue
        copy = "%s/%s" % (scratch, paths[label].rsplit("/", 1)[-1])
        with open(copy, "wb") as f:
            f.write(altered)
        report = check_all(dict(paths, **{label: copy}))
        if not any(expected in line and line.startswith(label) for line in report):
            problems.append("%s planted in %s went unreported (report: %s)" % (what, label, report))
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    for label in ("launcher32", "launcher64", "extension", "setup", "installer"):
        parser.add_argument("--" + label, required=True)
    args = vars(parser.parse_args())

    import tempfile
    with tempfile.TemporaryDirectory() as scratch:
        problems = prove_checks_can_fail(args, scratch)
    for problem in problems:
        print("checker self-test: " + problem)

    findings = check_all(args)
    for finding in findings:
        print(finding)
    if findings or problems:
        return 1
    print("the four deliverables and the installer pass: machine types, subsystems, imports, version resources, "
          "manifests, icons, exports")
    return 0


if __name__ == "__main__":
    sys.exit(main())
