#!/usr/bin/python3
"""dist/Varkel.msi's tables as Windows Installer reads them (msiinfo export):
the Registry table holds exactly what QuellisSetup.exe /install ... /allusers
writes, every component is 64-bit, startup.conf is never overwritten, the
UpgradeCode (installer/varkel.nsi's) makes a major upgrade; a copy signed as
the build signs it verifies; the Windows 11 package step is there for a
payload with a signed shell package and not for an unsigned one.
    msi_check.py MSI VERSION WORK_DIR
"""
import os
import re
import shutil
import subprocess
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
msi, version, work = sys.argv[1:4]
CLSID_KEY = "SOFTWARE\\Classes\\CLSID\\{3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613}"
# Root (2: HKEY_LOCAL_MACHINE), key, value name, data: the setup tool's /allusers registration.
SETUP_TOOL_WRITES = sorted([
    ["2", CLSID_KEY, "", "Varkel Shell Extension"],
    ["2", CLSID_KEY + "\\InprocServer32", "", "[INSTALLDIR]Quellis64.dll"],
    ["2", CLSID_KEY + "\\InprocServer32", "ThreadingModel", "Apartment"],
    ["2", "SOFTWARE\\Classes\\*\\shellex\\ContextMenuHandlers\\Varkel", "", "{3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613}"],
    ["2", "Software\\Orvane\\Varkel", "Command", "[INSTALLDIR]Varkel.exe"]])
# Type (program named by a property, deferred as the system account, result ignored; 3442 on rollback) and arguments.
PACKAGE_STEP = {"ProvisionShellPackage": ("3186", '-Action Provision -Location "[INSTALLDIR]shell"'),
                "UndoProvisionShellPackage": ("3442", "-Action Deprovision"),
                "DeprovisionShellPackage": ("3186", "-Action Deprovision")}
failures = []


def check(condition, what):
    print(("ok:   " if condition else "FAIL: ") + what)
    failures.extend([] if condition else [what])


def table(name, package=msi):
    text = subprocess.run(["msiinfo", "export", package, name], stdout=subprocess.PIPE, text=True, check=True).stdout
    return [line.split("\t") for line in text.splitlines()[3:]]


registry = sorted(row[1:5] for row in table("Registry"))
check(registry == SETUP_TOOL_WRITES, "Registry: the setup tool's five values and nothing else %s" % registry)
components = {row[0]: int(row[3]) for row in table("Component")}
files = {row[2]: row[1] for row in table("File")}
check(all(attributes & 256 for attributes in components.values()), "every component is 64-bit")
check(components[files["startup.conf"]] & 128 and "startup.conf.default" in files,
      "startup.conf is never overwritten, startup.conf.default beside it")
with open(os.path.join(ROOT, "installer", "varkel.nsi"), encoding="utf-8") as f:
    upgrade_code = re.search(r'!define MSI_UPGRADE_CODE "(\{[0-9A-F-]{36}\})"', f.read()).group(1)
properties = dict(row[:2] for row in table("Property"))
check((properties["UpgradeCode"], properties["ProductVersion"], properties["ALLUSERS"]) == (upgrade_code, version, "1"),
      "Property: UpgradeCode %s, version %s, ALLUSERS=1" % (upgrade_code, version))
check(sorted(tuple(row[:3] + row[4:5]) for row in table("Upgrade")) == [(upgrade_code, "", version, "1"),
                                                                        (upgrade_code, version, "", "2")],
      "Upgrade: older versions replaced, newer ones detected (and refused)")
sequence = {row[0]: int(row[2]) for row in table("InstallExecuteSequence")}
check(sequence["RemoveExistingProducts"] > sequence["InstallFinalize"], "the older version goes after the new one is in")

shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
signed, cert, key = (os.path.join(work, name) for name in ("Varkel.msi", "cert.pem", "key.pem"))
shutil.copy(msi, signed)
subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256", "-days", "2", "-subj", "/CN=test",
                "-keyout", key, "-out", cert], check=True, stderr=subprocess.DEVNULL)
subprocess.run([os.path.join(ROOT, "scripts", "sign.sh"), signed], env=dict(os.environ, VARKEL_SIGN_CERT=cert, VARKEL_SIGN_KEY=key),
               check=True)
verify = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", signed], stdout=subprocess.PIPE, text=True)
check(verify.returncode == 0 and "Signature verification: ok" in verify.stdout, "signed as the build signs it, verified")

for package_signed in (True, False):
    payload = os.path.join(work, "payload-%s" % package_signed)
    os.makedirs(os.path.join(payload, "shell"))
    for name in ("startup.conf", "shell-package.ps1"):
        open(os.path.join(payload, name), "w").close()
    with zipfile.ZipFile(os.path.join(payload, "shell", "Varkel-Shell.msix"), "w") as package:
        package.writestr("AppxSignature.p7x" if package_signed else "AppxManifest.xml", "")
    built = payload + ".msi"
    subprocess.run([sys.executable, os.path.join(ROOT, "installer", "msi", "make-msi.py"), "--payload", payload,
                    "--output", built, "--version", version, "--work", payload + "-work"], check=True, stdout=subprocess.DEVNULL)
    actions = {row[0]: (row[1], row[3]) for row in table("CustomAction", built) if row[0] in PACKAGE_STEP}
    steps = {row[0]: (int(row[2]), row[1]) for row in table("InstallExecuteSequence", built)}
    if not package_signed:
        check(actions == {}, "an unsigned shell package: no package step")
        continue
    check(all(actions[a][0] == kind and actions[a][1].endswith('-File "[INSTALLDIR]shell-package.ps1" ' + arguments)
              for a, (kind, arguments) in PACKAGE_STEP.items()), "the package step's actions %s" % actions)
    order = ["InstallInitialize", "DeprovisionShellPackage", "RemoveRegistryValues", "InstallFiles",
             "UndoProvisionShellPackage", "ProvisionShellPackage", "InstallFinalize"]
    check([steps[a][0] for a in order] == sorted(steps[a][0] for a in order) and
          steps["ProvisionShellPackage"][1] == "NOT REMOVE AND WINDOWS_BUILD >= 22000" and
          steps["DeprovisionShellPackage"][1] == 'REMOVE="ALL" AND NOT UPGRADINGPRODUCTCODE AND WINDOWS_BUILD >= 22000',
          "the package step's places and conditions")
sys.exit(1 if failures else 0)
