#!/usr/bin/env python3
"""The Windows 11 shell package as Windows reads it.

For the built package (unsigned) and for one built here and signed with a
throwaway certificate: the parts and their order, each block hash and local
header size of the block map recomputed from the archive itself, the content
types, the manifest, block map and content types against Microsoft's schemas
(tests/third_party/msix-schemas), and the manifest: identity (architecture
neutral), external content, the application, the surrogate-hosted class and
the context-menu verb for every file, whose class id must be one that
Quellis64.dll holds and whose DLL must be that file. The signed one must pass
`osslsigncode verify` and name the certificate's subject as its publisher.
The installers' script must name each package's family, whose publisher hash
is computed as Windows computes it (checked against a family name Windows
publishes).
    shell_package_check.py PACKAGE SCRIPT QUELLIS_DLL VERSION WORK_DIR
"""
import base64
import hashlib
import importlib.util
import io
import os
import shutil
import struct
import subprocess
import sys
import uuid
import xml.etree.ElementTree as ET
import zipfile

import xmlschema

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
NS = {
    "m": "http://schemas.microsoft.com/appx/manifest/foundation/windows10",
    "uap": "http://schemas.microsoft.com/appx/manifest/uap/windows10",
    "uap10": "http://schemas.microsoft.com/appx/manifest/uap/windows10/10",
    "desktop4": "http://schemas.microsoft.com/appx/manifest/desktop/windows10/4",
    "desktop5": "http://schemas.microsoft.com/appx/manifest/desktop/windows10/5",
    "com": "http://schemas.microsoft.com/appx/manifest/com/windows10",
    "b": "http://schemas.microsoft.com/appx/2010/blockmap",
    "ct": "http://schemas.openxmlformats.org/package/2006/content-types",
}
UNSIGNED_PUBLISHER = "CN=Orvane, OID.2.25.311729368913984317654407730594956997722=1"
SCHEMAS = os.path.join(ROOT, "tests", "third_party", "msix-schemas")
# Windows's own calculator, as its package family name shows it.
KNOWN_FAMILY = ("Microsoft.WindowsCalculator", "CN=Microsoft Corporation, O=Microsoft Corporation, L=Redmond, "
                "S=Washington, C=US", "Microsoft.WindowsCalculator_8wekyb3d8bbwe")
failures = []


def check(condition, what):
    print(("ok:   " if condition else "FAIL: ") + what)
    if not condition:
        failures.append(what)


def local_header_size(path, info):
    with open(path, "rb") as f:
        f.seek(info.header_offset)
        header = f.read(30)
    signature, name_length, extra_length = struct.unpack("<I22xHH", header)
    return 30 + name_length + extra_length if signature == 0x04034B50 else -1


def load_schemas():
    """The manifest, block map and content types schemas. "lax" only while the
    schemas are built: two patterns use an escape that xmlschema lacks; each
    document is still checked strictly."""
    with open(os.path.join(SCHEMAS, "namespaces.txt")) as f:
        locations = [(ns, os.path.join(SCHEMAS, file)) for ns, file in (line.split() for line in f if line.strip())]
    packaging = os.path.join(SCHEMAS, "AppxPackaging")
    return {
        "AppxManifest.xml": xmlschema.XMLSchema(os.path.join(packaging, "Manifest", "Schema", "2015",
                                                             "FoundationManifestSchema.xsd"),
                                                locations=locations, validation="lax"),
        "AppxBlockMap.xml": xmlschema.XMLSchema(os.path.join(packaging, "BlockMap", "schema", "BlockMapSchema.xsd"),
                                                validation="lax"),
        "[Content_Types].xml": xmlschema.XMLSchema(os.path.join(packaging, "[Content_Types]",
                                                                "opc-contentTypes.xsd"), validation="lax"),
    }


def family_name(name, publisher):
    spec = importlib.util.spec_from_file_location("make_shell_package", os.path.join(
        ROOT, "installer", "shell-package", "make-shell-package.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module.family_name(name, publisher)


def check_package(path, dll, version, publisher, signed, schemas):
    print("-- " + os.path.basename(path))
    package = zipfile.ZipFile(path)
    check(package.testzip() is None, "every part reads back with its CRC")
    names = [i.filename for i in package.infolist()]
    for part, schema in schemas.items():
        errors = [e.reason for e in schema.iter_errors(io.BytesIO(package.read(part)))]
        check(not errors, "%s valid against Microsoft's schema %s" % (part, errors[:3]))
    expected = ["AppxManifest.xml", "AppxBlockMap.xml", "[Content_Types].xml"] + (["AppxSignature.p7x"] if signed else [])
    check(names == expected, "parts %s" % names)

    blockmap = ET.fromstring(package.read("AppxBlockMap.xml"))
    check(blockmap.get("HashMethod") == "http://www.w3.org/2001/04/xmlenc#sha256", "block map hashes with SHA-256")
    files = blockmap.findall("b:File", NS)
    check([f.get("Name") for f in files] == ["AppxManifest.xml"], "block map lists the payload only")
    for entry in files:
        info = package.getinfo(entry.get("Name"))
        data = package.read(info)
        check(int(entry.get("Size")) == len(data), "%s: size" % info.filename)
        check(int(entry.get("LfhSize")) == local_header_size(path, info), "%s: local header size" % info.filename)
        blocks = entry.findall("b:Block", NS)
        hashes = [base64.b64encode(hashlib.sha256(data[o:o + 65536]).digest()).decode() for o in range(0, len(data), 65536)]
        check([b.get("Hash") for b in blocks] == hashes, "%s: all %d block hashes" % (info.filename, len(hashes)))
        stored = info.compress_type == zipfile.ZIP_STORED
        check(stored and all(b.get("Size") is None for b in blocks), "%s: stored, blocks without Size" % info.filename)

    types = ET.fromstring(package.read("[Content_Types].xml"))
    defaults = {d.get("Extension"): d.get("ContentType") for d in types.findall("ct:Default", NS)}
    overrides = {o.get("PartName"): o.get("ContentType") for o in types.findall("ct:Override", NS)}
    check(defaults.get("xml") == "application/vnd.ms-appx.manifest+xml", "content type of the manifest")
    check(overrides.get("/AppxBlockMap.xml") == "application/vnd.ms-appx.blockmap+xml", "content type of the block map")
    check((overrides.get("/AppxSignature.p7x") == "application/vnd.ms-appx.signature") == signed,
          "content type of the signature only when signed")

    manifest = ET.fromstring(package.read("AppxManifest.xml"))
    identity = manifest.find("m:Identity", NS)
    check(identity.get("Name") == "Orvane.Varkel", "identity name")
    check(identity.get("Publisher") == publisher, "publisher %s" % identity.get("Publisher"))
    check(identity.get("Version") == version + ".0", "version %s" % identity.get("Version"))
    check(identity.get("ProcessorArchitecture") == "neutral", "architecture neutral")
    check(manifest.findtext("m:Properties/uap10:AllowExternalContent", namespaces=NS) == "true", "external content")
    application = manifest.find("m:Applications/m:Application", NS)
    check(application is not None and application.get("Executable") == "Varkel.exe", "the Varkel application")
    classes = application.findall(".//com:Extension[@Category='windows.comServer']/com:ComServer/com:SurrogateServer/com:Class", NS)
    verbs = application.findall(".//desktop4:Extension[@Category='windows.fileExplorerContextMenus']"
                                "/desktop4:FileExplorerContextMenus/desktop5:ItemType[@Type='*']/desktop5:Verb", NS)
    check(len(classes) == 1 and len(verbs) == 1, "one surrogate class, one verb for every file")
    if len(classes) == 1 and len(verbs) == 1:
        check(classes[0].get("Path") == os.path.basename(dll), "the class's DLL is %s" % os.path.basename(dll))
        check(verbs[0].get("Clsid") == classes[0].get("Id"), "the verb names the class")
        with open(dll, "rb") as f:
            module = f.read()
        clsid = uuid.UUID(classes[0].get("Id"))
        check(clsid.bytes_le in module, "Quellis64.dll holds class id %s" % clsid)
        check(uuid.UUID("3F2B9C14-7A6D-4E05-B1C8-59D2E0A7F613") != clsid, "not the classic handler's class id")


def check_script(script, publisher):
    with open(script, encoding="utf-8-sig") as f:
        text = f.read()
    family = family_name("Orvane.Varkel", publisher)
    check("$FamilyName = '%s'" % family in text, "%s names the family %s" % (os.path.basename(script), family))


def main():
    package, script, dll, version, work = sys.argv[1:6]
    check(family_name(*KNOWN_FAMILY[:2]) == KNOWN_FAMILY[2], "publisher hash as Windows computes it")
    schemas = load_schemas()
    check_package(package, dll, version, UNSIGNED_PUBLISHER, False, schemas)
    check_script(script, UNSIGNED_PUBLISHER)

    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    cert, key = os.path.join(work, "cert.pem"), os.path.join(work, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256", "-days", "2",
                    "-subj", "/C=DE/O=Orvane/CN=Varkel signing test", "-keyout", key, "-out", cert],
                   check=True, capture_output=True)
    signed, signed_script = os.path.join(work, "Varkel-Shell.msix"), os.path.join(work, "shell-package.ps1")
    subprocess.run([sys.executable, os.path.join(ROOT, "installer", "shell-package", "make-shell-package.py"),
                    "--output", signed, "--version", version, "--classes", os.path.join(ROOT, "Quellis", "dll_module.cpp"),
                    "--dll", "Quellis64.dll", "--executable", "Varkel.exe", "--logo", "Varkel-Logo.png",
                    "--script", signed_script],
                   check=True, env=dict(os.environ, VARKEL_SIGN_CERT=cert, VARKEL_SIGN_KEY=key))
    check_package(signed, dll, version, "CN=Varkel signing test, O=Orvane, C=DE", True, schemas)
    check_script(signed_script, "CN=Varkel signing test, O=Orvane, C=DE")
    verify = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", signed], capture_output=True, text=True)
    check(verify.returncode == 0 and "Signature verification: ok" in verify.stdout, "osslsigncode verify")
    print("%d failed" % len(failures) if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
