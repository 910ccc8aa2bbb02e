#!/usr/bin/python3
"""dist/winget/ as winget reads it: each file valid against the published
schema (vendored in tests/third_party/winget-schemas), and the values winget
matches on the machine equal to what installer/varkel.nsi writes and takes;
the hash that of the built installer.
    winget_check.py WINGET_DIR INSTALLER INSTALLER_VERSION
"""
import copy
import hashlib
import json
import os
import re
import sys

import jsonschema
import yaml

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
SCHEMAS = os.path.join(ROOT, "tests", "third_party", "winget-schemas")
folder, installer, installer_version = sys.argv[1:4]
failures = []


def check(condition, what):
    print(("ok:   " if condition else "FAIL: ") + what)
    if not condition:
        failures.append(what)


def schema_errors(document, manifest_type):
    with open(os.path.join(SCHEMAS, "manifest.%s.1.28.0.json" % manifest_type), encoding="utf-8") as f:
        validator = jsonschema.Draft7Validator(json.load(f))
    return [e.message for e in validator.iter_errors(document)]


manifests = {}
for name, manifest_type in (("Orvane.Varkel.yaml", "version"), ("Orvane.Varkel.installer.yaml", "installer"),
                            ("Orvane.Varkel.locale.en-US.yaml", "defaultLocale")):
    with open(os.path.join(folder, name), encoding="utf-8") as f:
        manifests[manifest_type] = yaml.safe_load(f)
    errors = schema_errors(manifests[manifest_type], manifest_type)
    check(not errors and manifests[manifest_type]["ManifestType"] == manifest_type,
          "%s valid against the %s schema %s" % (name, manifest_type, errors))
broken = copy.deepcopy(manifests["installer"])
broken["Installers"][0]["Scope"] = "everyone"
check(schema_errors(broken, "installer") != [], "the schema rejects an unknown Scope")

with open(os.path.join(ROOT, "installer", "varkel.nsi"), encoding="utf-8") as f:
    nsi = f.read()
defines = dict(re.findall(r'^!define\s+(\w+)\s+"([^"]*)"', nsi, re.MULTILINE), VERSION=installer_version)
expand = lambda text: re.sub(r"\$\{(\w+)\}", lambda m: defines[m.group(1)], text)
written = {name: expand(value) for name, value in
           re.findall(r'WriteRegStr SHCTX "\$\{UNINSTALL_KEY\}" "(\w+)" "([^"]*)"', nsi)}
key_name = expand(defines["UNINSTALL_KEY"]).split("\\")[-1]
scope_of = {s: "machine" if v == "1" else "user"
            for s, v in re.findall(r'\$\{GetOptions\} \$0 "(/\w+)" \$1\s+\$\{IfNot\} \$\{Errors\}\s+StrCpy \$AllUsers (\d)', nsi)}

manifest = manifests["installer"]
check(manifest["InstallerType"] == "nullsoft", "InstallerType nullsoft")
check(manifest["ProductCode"] == key_name, "ProductCode %r is the uninstall entry's key name" % manifest["ProductCode"])
entry = manifest["AppsAndFeaturesEntries"][0]
for name in ("DisplayName", "Publisher", "DisplayVersion"):
    check(entry[name] == written[name], "AppsAndFeaturesEntries %s %r as the installer writes it" % (name, entry[name]))
check(manifest["InstallerSwitches"]["Silent"] == "/S" and manifest["InstallerSwitches"]["InstallLocation"] == "/D=<INSTALLPATH>",
      "NSIS's own silent and folder switches")
with open(installer, "rb") as f:
    sha256 = hashlib.sha256(f.read()).hexdigest().upper()
check(sorted(i["Scope"] for i in manifest["Installers"]) == ["machine", "user"], "one installer per scope")
for item in manifest["Installers"]:
    custom = item["InstallerSwitches"]["Custom"]
    check(scope_of.get(custom) == item["Scope"], "Scope %s takes %s, which the script reads for it" % (item["Scope"], custom))
    check(item["InstallerSha256"] == sha256, "Scope %s: the SHA-256 of %s" % (item["Scope"], os.path.basename(installer)))
    check(("ElevationRequirement" in item) == (item["Scope"] == "machine"), "Scope %s: elevation only for machine" % item["Scope"])
sys.exit(1 if failures else 0)
