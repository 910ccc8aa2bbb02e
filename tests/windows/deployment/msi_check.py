#!/usr/bin/python3
"""dist/Varkel.msi's tables as Windows Installer reads them (msiinfo export):
the Registry table holds exactly what QuellisSetup.exe /install ... /allusers
writes, every component is 64-bit, the files are the deliverables of dist/,
and the UpgradeCode (installer/varkel.nsi's) makes a major upgrade; then a
copy signed as the build signs it passes osslsigncode's verification; last,
the Windows 11 package step of a package built from a payload with a signed
shell package, and its absence with an unsigned one.
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
dist = os.path.dirname(os.path.abspath(msi))
CLSID = "{3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613}"
HKLM = "2"
# Root, key, value name, data: the setup tool's /allusers registration.
SETUP_TOOL_WRITES = {
    (HKLM, "SOFTWARE\\Classes\\CLSID\\" + CLSID, "", "Varkel Shell Extension"),
    (HKLM, "SOFTWARE\\Classes\\CLSID\\" + CLSID + "\\InprocServer32", "", "[INSTALLDIR]Quellis64.dll"),
    (HKLM, "SOFTWARE\\Classes\\CLSID\\" + CLSID + "\\InprocServer32", "ThreadingModel", "Apartment"),
    (HKLM, "SOFTWARE\\Classes\\*\\shellex\\ContextMenuHandlers\\Varkel", "", CLSID),
    (HKLM, "Software\\Orvane\\Varkel", "Command", "[INSTALLDIR]Varkel.exe"),
}
COMPONENT_64BIT, NEVER_OVERWRITE = 256, 128
failures = []


def check(condition, what):
    print(("ok:   " if condition else "FAIL: ") + what)
    if not condition:
        failures.append(what)


def table(name, package=msi):
    text = subprocess.run(["msiinfo", "export", package, name], stdout=subprocess.PIPE, text=True, check=True).stdout
    return [line.split("\t") for line in text.splitlines()[3:]]


registry = table("Registry")
check({tuple(row[1:5]) for row in registry} == SETUP_TOOL_WRITES and len(registry) == len(SETUP_TOOL_WRITES),
      "Registry: the setup tool's five values and nothing else %s" % [row[1:5] for row in registry])
components = {row[0]: row for row in table("Component")}
check(all(int(row[3]) & COMPONENT_64BIT for row in components.values()), "every component is 64-bit")
file_rows = table("File")
files = {row[2]: row for row in file_rows}
for name in ("Varkel.exe", "Varkel-64.exe", "Quellis64.dll", "QuellisSetup.exe"):
    check(any(row[2] == name and int(row[3]) == os.path.getsize(os.path.join(dist, name))
              and components[row[1]][2] == "INSTALLDIR" for row in file_rows),
          "File: %s as in dist/, in the installation folder" % name)
conf = files["startup.conf"]
check(int(components[conf[1]][3]) & NEVER_OVERWRITE and "startup.conf.default" in files,
      "startup.conf is never overwritten, startup.conf.default shipped beside it")

with open(os.path.join(ROOT, "installer", "varkel.nsi"), encoding="utf-8") as f:
    upgrade_code = re.search(r'!define MSI_UPGRADE_CODE "(\{[0-9A-F-]{36}\})"', f.read()).group(1)
properties = dict(row[:2] for row in table("Property"))
check(properties.get("UpgradeCode") == upgrade_code and properties.get("ProductVersion") == version
      and properties.get("ALLUSERS") == "1", "Property: the UpgradeCode %s, version %s, ALLUSERS=1" % (upgrade_code, version))
upgrades = {(row[0], row[1], row[2], row[4]) for row in table("Upgrade")}
check(upgrades == {(upgrade_code, "", version, "1"), (upgrade_code, version, "", "2")},
      "Upgrade: older versions replaced (migrating features), newer ones detected and refused %s" % upgrades)
sequence = {row[0]: int(row[2]) for row in table("InstallExecuteSequence")}
check(sequence["RemoveExistingProducts"] > sequence["InstallFinalize"], "the older version goes after the new one is in")

shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
signed = os.path.join(work, "Varkel.msi")
shutil.copy(msi, signed)
subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256", "-days", "2", "-subj",
                "/CN=Varkel signing test", "-keyout", os.path.join(work, "key.pem"), "-out", os.path.join(work, "cert.pem")],
               check=True, stderr=subprocess.DEVNULL)
environment = dict(os.environ, VARKEL_SIGN_CERT=os.path.join(work, "cert.pem"), VARKEL_SIGN_KEY=os.path.join(work, "key.pem"))
subprocess.run([os.path.join(ROOT, "scripts", "sign.sh"), signed], env=environment, check=True)
verify = subprocess.run(["osslsigncode", "verify", "-CAfile", os.path.join(work, "cert.pem"), "-in", signed],
                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
check(verify.returncode == 0 and "Signature verification: ok" in verify.stdout, "signed as the build signs it, verified")

# The package step: provisioned after InstallFiles, undone on rollback and
# before anything goes on removal (not when a newer version removes this one),
# from Windows 11 on, as the system account, its failure ignored.
STEP = {"ProvisionShellPackage": (3186, "-Action Provision -Location \"[INSTALLDIR]shell\""),
        "UndoProvisionShellPackage": (3442, "-Action Deprovision"),
        "DeprovisionShellPackage": (3186, "-Action Deprovision")}
for signed in (True, False):
    payload = os.path.join(work, "payload-%s" % signed)
    os.makedirs(os.path.join(payload, "shell"))
    for name in ("startup.conf", "shell-package.ps1"):
        open(os.path.join(payload, name), "w").close()
    with zipfile.ZipFile(os.path.join(payload, "shell", "Varkel-Shell.msix"), "w") as package:
        package.writestr("AppxManifest.xml", "")
        if signed:
            package.writestr("AppxSignature.p7x", "")
    built = os.path.join(work, "step-%s.msi" % signed)
    subprocess.run([sys.executable, os.path.join(ROOT, "installer", "msi", "make-msi.py"), "--payload", payload,
                    "--output", built, "--version", version, "--work", payload + "-work"], check=True, stdout=subprocess.DEVNULL)
    actions = {row[0]: row for row in table("CustomAction", built)}
    steps = {row[0]: (row[1], int(row[2])) for row in table("InstallExecuteSequence", built)}
    if not signed:
        check(not set(STEP) & set(actions), "unsigned shell package: no package step")
        continue
    for action, (kind, arguments) in STEP.items():
        check(int(actions[action][1]) == kind and actions[action][3].endswith(arguments)
              and "[INSTALLDIR]shell-package.ps1" in actions[action][3], "%s: type %d, %s" % (action, kind, arguments))
    check(steps["InstallFiles"][1] < steps["UndoProvisionShellPackage"][1] < steps["ProvisionShellPackage"][1]
          < steps["InstallFinalize"][1] and steps["InstallInitialize"][1] < steps["DeprovisionShellPackage"][1]
          < steps["RemoveRegistryValues"][1], "the step's places in the sequence")
    check(steps["ProvisionShellPackage"][0] == "NOT REMOVE AND WINDOWS_BUILD >= 22000" and
          steps["DeprovisionShellPackage"][0] == 'REMOVE="ALL" AND NOT UPGRADINGPRODUCTCODE AND WINDOWS_BUILD >= 22000',
          "the step's conditions")
sys.exit(1 if failures else 0)
