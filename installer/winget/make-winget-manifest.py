#!/usr/bin/env python3
"""Writes the Windows Package Manager's manifest of Varkel-Setup.exe.

    make-winget-manifest.py --installer Varkel-Setup.exe --package-version 6.0.0
        --installer-version 6.0.0.0 --output-dir dist/winget

A multi-file manifest, version 1.28.0: <id>.yaml (version), <id>.installer.yaml
and <id>.locale.en-US.yaml. What winget must match on the machine is read from
installer/varkel.nsi, the script that writes it: the uninstall entry's key name
(winget's ProductCode), the entry's DisplayName, Publisher and DisplayVersion,
and the two command-line switches that choose the scope. "/S" (silent) and
"/D=" (folder) are NSIS's own. The installer's download address comes from the
environment variable VARKEL_INSTALLER_URL; without it the manifest names a
placeholder under example.invalid and says so.
Standard-library Python: every value is written as a quoted YAML string.
"""
import argparse
import hashlib
import json
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
NSIS_SCRIPT = os.path.join(ROOT, "installer", "varkel.nsi")
MANIFEST_VERSION = "1.28.0"
LOCALE = "en-US"
URL_VARIABLE = "VARKEL_INSTALLER_URL"
SILENT_SWITCH = "/S"
LOCATION_SWITCH = "/D=<INSTALLPATH>"
DEFINE = re.compile(r'^!define\s+(\w+)\s+"([^"]*)"', re.MULTILINE)
ENTRY_VALUE = re.compile(r'^\s*WriteRegStr\s+SHCTX\s+"\$\{UNINSTALL_KEY\}"\s+"(\w+)"\s+"([^"]*)"', re.MULTILINE)
# .onInit: ${GetOptions} $0 "/SWITCH" $1, then ${IfNot} ${Errors}, then StrCpy $AllUsers 0|1.
SCOPE_SWITCH = re.compile(r'\$\{GetOptions\}\s+\$0\s+"(/\w+)"\s+\$1\s*\n\s*\$\{IfNot\}\s+\$\{Errors\}\s*\n'
                          r'\s*StrCpy\s+\$AllUsers\s+([01])')
EXIT_CODE = re.compile(r'^!define\s+EXIT_MSI_INSTALLED\s+(\d+)', re.MULTILINE)
LEGAL_COPYRIGHT = re.compile(r'VIAddVersionKey\s+/LANG=1033\s+"LegalCopyright"\s+"([^"]*)"')


def fail(message):
    sys.exit("make-winget-manifest: " + message)


def expand(text, defines):
    return re.sub(r"\$\{(\w+)\}", lambda m: defines.get(m.group(1), m.group(0)), text)


class InstallerScript:
    """What installer/varkel.nsi writes and takes, with its defines expanded."""

    def __init__(self, path, installer_version):
        with open(path, encoding="utf-8") as f:
            text = f.read()
        self.defines = dict(DEFINE.findall(text))
        self.defines["VERSION"] = installer_version
        for name in ("PRODUCT", "PUBLISHER", "UNINSTALL_KEY"):
            if name not in self.defines:
                fail("%s defines no %s" % (path, name))
        self.entry = {name: expand(value, self.defines) for name, value in ENTRY_VALUE.findall(text)}
        for name in ("DisplayName", "Publisher", "DisplayVersion"):
            if name not in self.entry:
                fail("%s writes no %s into the uninstall entry" % (path, name))
        # winget finds an installation by the name of its uninstall entry's key.
        self.product_code = expand(self.defines["UNINSTALL_KEY"], self.defines).rsplit("\\", 1)[-1]
        scopes = {all_users: switch for switch, all_users in SCOPE_SWITCH.findall(text)}
        if set(scopes) != {"0", "1"}:
            fail("%s: no switch for each scope (found %s)" % (path, scopes))
        self.user_switch, self.machine_switch = scopes["0"], scopes["1"]
        refused = EXIT_CODE.search(text)
        self.msi_installed_code = int(refused.group(1)) if refused else None
        copyright_match = LEGAL_COPYRIGHT.search(text)
        self.copyright = expand(copyright_match.group(1), self.defines) if copyright_match else None


def yaml_value(value):
    return json.dumps(value, ensure_ascii=False) if isinstance(value, str) else str(value)


def yaml_lines(value, indent=""):
    """A mapping or list of mappings and scalars as block YAML."""
    lines = []
    if isinstance(value, dict):
        for name, item in value.items():
            if isinstance(item, (dict, list)):
                lines.append("%s%s:" % (indent, name))
                lines += yaml_lines(item, indent + "  ")
            else:
                lines.append("%s%s: %s" % (indent, name, yaml_value(item)))
    else:
        for item in value:
            if isinstance(item, dict):
                inner = yaml_lines(item, indent + "  ")
                lines.append(indent + "- " + inner[0].lstrip())
                lines += inner[1:]
            else:
                lines.append("%s- %s" % (indent, yaml_value(item)))
    return lines


def write_manifest(folder, name, manifest_type, body):
    body = dict(body, ManifestType=manifest_type, ManifestVersion=MANIFEST_VERSION)
    schema = "https://aka.ms/winget-manifest.%s.%s.schema.json" % (manifest_type, MANIFEST_VERSION)
    text = "\n".join(["# yaml-language-server: $schema=" + schema, ""] + yaml_lines(body) + [""])
    with open(os.path.join(folder, name), "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def installer_url(version):
    url = os.environ.get(URL_VARIABLE, "")
    if not url:
        url = "https://example.invalid/varkel/%s/Varkel-Setup.exe" % version
        print("make-winget-manifest: %s is not set: InstallerUrl is the placeholder %s" % (URL_VARIABLE, url))
    elif not re.match(r"^[Hh][Tt][Tt][Pp][Ss]://\S+$", url):
        fail("%s must be an https address without blanks, not %s" % (URL_VARIABLE, url))
    return url


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--installer", required=True)
    parser.add_argument("--package-version", required=True)
    parser.add_argument("--installer-version", required=True)
    parser.add_argument("--output-dir", required=True)
    args = parser.parse_args()

    script = InstallerScript(NSIS_SCRIPT, args.installer_version)
    with open(args.installer, "rb") as f:
        sha256 = hashlib.sha256(f.read()).hexdigest().upper()
    url = installer_url(args.package_version)
    identifier = "%s.%s" % (script.defines["PUBLISHER"], script.defines["PRODUCT"])
    ids = {"PackageIdentifier": identifier, "PackageVersion": args.package_version}
    os.makedirs(args.output_dir, exist_ok=True)

    write_manifest(args.output_dir, identifier + ".yaml", "version", dict(ids, DefaultLocale=LOCALE))
    return_codes = [{"InstallerReturnCode": 1, "ReturnResponse": "cancelledByUser"}]
    if script.msi_installed_code is not None:
        return_codes.append({"InstallerReturnCode": script.msi_installed_code, "ReturnResponse": "alreadyInstalled"})
    scope_installers = [("user", script.user_switch, {}),
                        ("machine", script.machine_switch, {"ElevationRequirement": "elevatesSelf"})]
    write_manifest(args.output_dir, identifier + ".installer.yaml", "installer", dict(
        ids,
        InstallerType="nullsoft",
        MinimumOSVersion="10.0.0.0",
        InstallModes=["interactive", "silent", "silentWithProgress"],
        InstallerSwitches={"Silent": SILENT_SWITCH, "SilentWithProgress": SILENT_SWITCH,
                           "InstallLocation": LOCATION_SWITCH},
        ExpectedReturnCodes=return_codes,
        UpgradeBehavior="install",
        ProductCode=script.product_code,
        AppsAndFeaturesEntries=[{"DisplayName": script.entry["DisplayName"], "Publisher": script.entry["Publisher"],
                                 "DisplayVersion": script.entry["DisplayVersion"],
                                 "ProductCode": script.product_code, "InstallerType": "nullsoft"}],
        Installers=[dict({"Architecture": "x64", "Scope": scope, "InstallerUrl": url, "InstallerSha256": sha256,
                          "InstallerSwitches": {"Custom": switch}}, **extra)
                    for scope, switch, extra in scope_installers]))
    locale = dict(ids, PackageLocale=LOCALE, Publisher=script.defines["PUBLISHER"],
                  PackageName=script.defines["PRODUCT"], License="Proprietary",
                  ShortDescription="Reads and analyses log files.")
    if script.copyright:
        locale["Copyright"] = script.copyright
    write_manifest(args.output_dir, "%s.locale.%s.yaml" % (identifier, LOCALE), "defaultLocale", locale)
    print("make-winget-manifest: %s (%s %s, SHA-256 %s)" % (args.output_dir, identifier, args.package_version, sha256))


if __name__ == "__main__":
    main()
