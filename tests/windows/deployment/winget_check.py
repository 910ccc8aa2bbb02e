#!/usr/bin/python3
"""dist/winget/ as winget reads it: each file valid against its published
schema (tests/third_party/winget-schemas); the values winget matches on the
machine those that installer/varkel.nsi writes and takes; the hash that of
the built installer.
    winget_check.py WINGET_DIR INSTALLER INSTALLER_VERSION
"""
import hashlib
import json
import os
import re
import sys

import jsonschema
import yaml

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
folder, installer, installer_version = sys.argv[1:4]
failures = []


def check(condition, what):
    print(("ok:   " if condition else "FAIL: ") + what)
    failures.extend([] if condition else [what])


def schema_errors(document, manifest_type):
    with open(os.path.join(ROOT, "tests", "third_party", "winget-schemas", "manifest.%s.1.28.0.json" % manifest_type)) as f:
        return [e.message for e in jsonschema.Draft7Validator(json.load(f)).iter_errors(document)]


manifests = {}
for manifest_type, name in (("version", ""), ("installer", ".installer"), ("defaultLocale", ".locale.en-US")):
    with open(os.path.join(folder, "Orvane.Varkel%s.yaml" % name), encoding="utf-8") as f:
        manifests[manifest_type] = yaml.safe_load(f)
    errors = schema_errors(manifests[manifest_type], manifest_type)
    check(not errors and manifests[manifest_type]["ManifestType"] == manifest_type, "%s manifest valid %s" % (manifest_type, errors))
manifest = manifests["installer"]
check(schema_errors(dict(manifest, Installers=[dict(manifest["Installers"][0], Scope="everyone")]), "installer") != [],
      "the schema rejects an unknown Scope")

with open(os.path.join(ROOT, "installer", "varkel.nsi"), encoding="utf-8") as f:
    nsi = f.read()
defines = dict(re.findall(r'^!define\s+(\w+)\s+"([^"]*)"', nsi, re.MULTILINE), VERSION=installer_version)
expand = lambda text: re.sub(r"\$\{(\w+)\}", lambda m: defines.get(m.group(1), m.group(0)), text)
written = {n: expand(v) for n, v in re.findall(r'WriteRegStr SHCTX "\$\{UNINSTALL_KEY\}" "(\w+)" "([^"]*)"', nsi)}
scope_of = {switch: ("user", "machine")[int(all_users)] for switch, all_users in re.findall(
    r'\$\{GetOptions\} \$0 "(/\w+)" \$1\s+\$\{IfNot\} \$\{Errors\}\s+StrCpy \$AllUsers (\d)', nsi)}
with open(installer, "rb") as f:
    sha256 = hashlib.sha256(f.read()).hexdigest().upper()

check(manifest["InstallerType"] == "nullsoft" and manifest["InstallerSwitches"]["Silent"] == "/S" and
      manifest["InstallerSwitches"]["InstallLocation"] == "/D=<INSTALLPATH>", "nullsoft, with NSIS's own switches")
check(manifest["ProductCode"] == expand(defines["UNINSTALL_KEY"]).split("\\")[-1], "ProductCode: the uninstall entry's key name")
entry = manifest["AppsAndFeaturesEntries"][0]
check(all(entry[n] == written[n] for n in ("DisplayName", "Publisher", "DisplayVersion")),
      "AppsAndFeaturesEntries as the installer writes them %s" % entry)
check(sorted(i["Scope"] for i in manifest["Installers"]) == ["machine", "user"], "one installer per scope")
for item in manifest["Installers"]:
    check(scope_of.get(item["InstallerSwitches"]["Custom"]) == item["Scope"] and item["InstallerSha256"] == sha256 and
          ("ElevationRequirement" in item) == (item["Scope"] == "machine"),
          "Scope %s: the script's switch for it, the installer's SHA-256, elevation only for machine" % item["Scope"])
sys.exit(1 if failures else 0)
