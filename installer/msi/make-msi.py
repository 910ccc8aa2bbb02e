#!/usr/bin/env python3
"""Builds Varkel.msi, the per-machine Windows Installer package, with wixl.

    make-msi.py --payload DIR --output Varkel.msi --version 6.0.0 --work DIR

--payload is the folder that Varkel-Setup.exe installs (build-installer.sh
lays it out: the deliverables, the shell package and the Java program). The
product's name, publisher and the package's UpgradeCode come from
installer/varkel.nsi, so both installers name the same product; varkel.wxs
holds the rest. Written here:
  - payload.wxs: one component per file and per folder, each with a
    component code made from the UpgradeCode and the file's path, so that a
    file keeps its code from version to version as Windows Installer's
    component rules ask (the old version's removal after an upgrade then
    leaves the files that the new one shares);
  - the ProductCode, made from the UpgradeCode and the version: one code per
    version, the same for every build of it.
startup.conf gets a component of its own marked "never overwrite": an
upgrade or a repair leaves the machine's startup.conf as it is, changed or
not; startup.conf.default is always the shipped one. The older version is
removed after the new one is in (RemoveExistingProducts after
InstallFinalize), so its removal takes only what the new version no longer
ships, startup.conf staying with its component.
"""
import argparse
import hashlib
import os
import re
import subprocess
import sys
import uuid
import zipfile
from xml.sax.saxutils import quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
NSIS_SCRIPT = os.path.join(ROOT, "installer", "varkel.nsi")
ICON = os.path.join(ROOT, "VKJavaLauncher", "res", "varkel.ico")
STARTUP_CONF = "startup.conf"
PRISTINE_CONF = "startup.conf.default"
# Component attributes (Component table): 64-bit, and "never overwrite".
COMPONENT_64BIT = 256
COMPONENT_NEVER_OVERWRITE = 128
# wixl's sorting places RemoveExistingProducts early and custom actions
# wherever it ends; each of these goes right after its standard action:
# the older version is removed once the new one is in, and the shell package
# is provisioned once the files are in and deprovisioned before anything goes.
PLACES = {
    "RemoveExistingProducts": ("InstallFinalize", 1),
    "SetPowerShell": ("CostFinalize", 1),
    "DeprovisionShellPackage": ("UnpublishFeatures", 1),
    "UndoProvisionShellPackage": ("InstallFiles", 1),
    "ProvisionShellPackage": ("InstallFiles", 2),
}
# Custom action types (CustomAction table) that wixl 0.101 cannot write: a
# rollback program named by a property, run as the system account, whose
# failure is ignored.
EXE_PROPERTY, IGNORE_RESULT, ROLLBACK, IN_SCRIPT, NO_IMPERSONATE = 50, 0x40, 0x100, 0x400, 0x800
ROLLBACK_ACTIONS = ("UndoProvisionShellPackage",)
# The Windows 11 shell package's step and package, as the payload carries them;
# a package is signed when it holds its signature part.
SHELL_SCRIPT = "shell-package.ps1"
SHELL_PACKAGE = os.path.join("shell", "Varkel-Shell.msix")
SIGNATURE_PART = "AppxSignature.p7x"
DEFINE = re.compile(r'^!define\s+(\w+)\s+"([^"]*)"', re.MULTILINE)


def fail(message):
    sys.exit("make-msi: " + message)


def nsis_defines(path):
    with open(path, encoding="utf-8") as f:
        return dict(DEFINE.findall(f.read()))


def msi_version(version):
    """Windows Installer compares three fields; a fourth one it ignores, so it must be 0."""
    parts = version.split(".")
    if not 3 <= len(parts) <= 4 or not all(p.isdigit() for p in parts):
        fail("version %s is not of the form 1.2.3 or 1.2.3.0" % version)
    if len(parts) == 4 and int(parts[3]) != 0:
        fail("version %s: Windows Installer ignores the fourth field, so an upgrade would not be seen" % version)
    if int(parts[0]) > 255 or int(parts[1]) > 255 or int(parts[2]) > 65535:
        fail("version %s is beyond Windows Installer's 255.255.65535" % version)
    return ".".join(parts[:3])


def braced(code):
    return "{%s}" % str(code).upper()


def key(prefix, relative):
    """A table key that names one payload item: an identifier of at most 72 characters."""
    return prefix + hashlib.sha256(relative.lower().encode("utf-8")).hexdigest()[:32]


class PayloadWriter:
    """The payload's folders and files as wixl's Directory and Component elements."""

    def __init__(self, payload, source, upgrade_code):
        self.payload = payload
        self.source = source  # the payload as wixl finds it from its working folder
        self.namespace = uuid.UUID(upgrade_code)
        self.components = []
        self.conf_component = None

    def component_code(self, relative):
        return braced(uuid.uuid5(self.namespace, relative.lower()))

    def folder(self, relative, indent):
        lines = []
        path = os.path.join(self.payload, relative)
        # Each folder is a component of its own: created even when empty, as
        # Varkel-Setup.exe does, and removed with the last version that ships
        # it (an upgrade that drops a folder takes it away; the installation
        # folder goes with the last version, even when an upgrade found it).
        lines.append(self.component(relative + "/", indent, "<CreateFolder/>"))
        for name in sorted(os.listdir(path)):
            if name in (STARTUP_CONF, PRISTINE_CONF) and relative == "":
                continue
            if any(c in name for c in '"\\$\n'):
                fail("a name in the payload cannot be installed: " + os.path.join(relative, name))
            child = os.path.join(relative, name)
            if os.path.isdir(os.path.join(path, name)):
                lines.append('%s<Directory Id="%s" Name=%s>' % (indent, key("d", child), quoteattr(name)))
                lines += self.folder(child, indent + "  ")
                lines.append("%s</Directory>" % indent)
            else:
                lines += self.file_component(child, name, indent)
        return lines

    def component(self, relative, indent, content, component=None):
        component = component or key("c", relative)
        self.components.append(component)
        return '%s<Component Id="%s" Guid="%s" Win64="yes">%s</Component>' % (
            indent, component, self.component_code(relative), content)

    def file_component(self, relative, name, indent, component=None, shipped=None):
        source = os.path.join(self.source, shipped or relative)
        return [self.component(relative, indent, '<File Id="%s" Name=%s Source=%s KeyPath="yes"/>'
                               % (key("f", relative), quoteattr(name), quoteattr(source)), component)]

    def write(self, path):
        conf = os.path.join(self.payload, STARTUP_CONF)
        if not os.path.isfile(conf):
            fail("the payload has no " + STARTUP_CONF)
        lines = self.folder("", "      ")
        # The shipped startup.conf twice, as Varkel-Setup.exe installs it: the
        # one the launcher reads, never overwritten, and the pristine copy.
        self.conf_component = key("c", STARTUP_CONF)
        lines += self.file_component(STARTUP_CONF, STARTUP_CONF, "      ", self.conf_component)
        lines += self.file_component(PRISTINE_CONF, PRISTINE_CONF, "      ", shipped=STARTUP_CONF)
        refs = ['      <ComponentRef Id="%s"/>' % c for c in self.components]
        text = "\n".join(['<?xml version="1.0" encoding="utf-8"?>',
                          '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">',
                          "  <Fragment>",
                          '    <DirectoryRef Id="INSTALLDIR">'] + lines +
                         ["    </DirectoryRef>",
                          '    <ComponentGroup Id="Payload">'] + refs +
                         ["    </ComponentGroup>", "  </Fragment>", "</Wix>", ""])
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)


def run(command, cwd=None):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, cwd=cwd)
    # wixl warns that Package has no Platform property: -a x64 sets the template.
    output = "\n".join(line for line in result.stdout.splitlines() if "Platform" not in line)
    if result.returncode != 0:
        fail("%s failed:\n%s" % (command[0], output))
    if output.strip():
        print(output)


def shell_package_step(payload):
    """"provision" when the payload's shell package can be provisioned for every account."""
    package = os.path.join(payload, SHELL_PACKAGE)
    if not os.path.isfile(os.path.join(payload, SHELL_SCRIPT)) or not os.path.isfile(package):
        print("make-msi: the payload has no %s and %s: no Windows 11 package step" % (SHELL_SCRIPT, SHELL_PACKAGE))
        return "none"
    with zipfile.ZipFile(package) as archive:
        if SIGNATURE_PART not in archive.namelist():
            print("make-msi: %s is unsigned: no Windows 11 package step (Windows adds only a trusted signed one)"
                  % SHELL_PACKAGE)
            return "none"
    return "provision"


def placing_queries(msi):
    """msibuild's queries that put PLACES' actions where they belong and make the rollback actions rollback ones."""
    rows = subprocess.run(["msiinfo", "export", msi, "InstallExecuteSequence"], stdout=subprocess.PIPE,
                          text=True, check=True).stdout.splitlines()[3:]
    sequence = {fields[0]: int(fields[2]) for fields in (row.split("\t") for row in rows)}
    queries = []
    for action, (anchor, offset) in PLACES.items():
        if action in sequence:
            queries += ["-q", "UPDATE `InstallExecuteSequence` SET `Sequence` = %d WHERE `Action` = '%s'"
                        % (sequence[anchor] + offset, action)]
    for action in ROLLBACK_ACTIONS:
        if action in sequence:
            queries += ["-q", "UPDATE `CustomAction` SET `Type` = %d WHERE `Action` = '%s'"
                        % (EXE_PROPERTY | IGNORE_RESULT | ROLLBACK | IN_SCRIPT | NO_IMPERSONATE, action)]
    return queries


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--payload", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()

    defines = nsis_defines(NSIS_SCRIPT)
    for name in ("PRODUCT", "PUBLISHER", "MSI_UPGRADE_CODE"):
        if name not in defines:
            fail("%s defines no %s" % (NSIS_SCRIPT, name))
    upgrade_code = braced(uuid.UUID(defines["MSI_UPGRADE_CODE"]))
    version = msi_version(args.version)
    product_code = braced(uuid.uuid5(uuid.UUID(upgrade_code), "ProductCode " + version))
    if not os.path.isdir(args.payload):
        fail("the payload folder %s does not exist" % args.payload)

    # wixl finds sources only by paths relative to its working folder: the work
    # folder, with the payload and the icon linked into it.
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    for name, target in (("payload", os.path.abspath(args.payload)), ("varkel.ico", ICON)):
        link = os.path.join(work, name)
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(target, link)
    payload_wxs = os.path.join(work, "payload.wxs")
    writer = PayloadWriter(args.payload, "payload", upgrade_code)
    writer.write(payload_wxs)
    output = os.path.abspath(args.output)
    os.makedirs(os.path.dirname(output), exist_ok=True)
    if os.path.exists(output):
        os.remove(output)
    variables = {"Product": defines["PRODUCT"], "Publisher": defines["PUBLISHER"], "Version": version,
                 "ProductCode": product_code, "UpgradeCode": upgrade_code, "Icon": "varkel.ico",
                 "ShellPackageStep": shell_package_step(args.payload)}
    command = ["wixl", "-a", "x64", "-o", output]
    for name, value in variables.items():
        command += ["-D", "%s=%s" % (name, value)]
    run(command + [os.path.join(HERE, "varkel.wxs"), payload_wxs], cwd=work)
    # wixl 0.101 knows no NeverOverwrite attribute and sorts actions its own
    # way: both are set in the tables.
    run(["msibuild", output, "-q", "UPDATE `Component` SET `Attributes` = %d WHERE `Component` = '%s'"
         % (COMPONENT_64BIT | COMPONENT_NEVER_OVERWRITE, writer.conf_component)] + placing_queries(output))
    print("make-msi: %s (%s %s, ProductCode %s)" % (args.output, defines["PRODUCT"], version, product_code))


if __name__ == "__main__":
    main()
