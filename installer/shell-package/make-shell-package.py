#!/usr/bin/env python3
"""Builds Varkel's Windows 11 shell package (Varkel-Shell.msix).

The package holds only its manifest: Windows adds it with the installation's
"shell" folder as its external location, where the manifest's DLL and logo
are found.
The format, written here with the standard library alone:
  - AppxManifest.xml, from AppxManifest.xml.in;
  - AppxBlockMap.xml: every other part's size, its local file header's size and
    the SHA-256 of each 64 KiB block, base64;
  - [Content_Types].xml, the last part.
The payload is stored uncompressed, so its blocks carry no Size; the block map
and the content types, which the block map does not list, are deflated.

Unsigned, the Publisher carries the unsigned-publisher OID, and Windows adds
the package only with -AllowUnsigned, on test machines. With VARKEL_SIGN_CERT
and VARKEL_SIGN_KEY set, the Publisher is that certificate's subject (Windows
requires them to match) and scripts/sign.sh signs the package.

--script also writes shell-package.ps1, the installers' step that adds and
removes the package, from shell-package.ps1.in with this package's name,
file name and family name (the name and the publisher's hash, which Windows
finds a package's registrations by).

    make-shell-package.py --output OUT.msix --version 6.0.0 --classes SOURCE --dll Quellis64.dll
        --executable Varkel.exe --logo Varkel-Logo.png [--script OUT.ps1]
--classes names the C++ file that defines CLSID_QuellisCommand, so the class id
is written once, in the module's own code.
"""
import argparse
import base64
import hashlib
import io
import os
import re
import subprocess
import sys
import zipfile
from xml.sax.saxutils import escape, quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
PACKAGE_NAME = "Orvane.Varkel"
PUBLISHER = "CN=Orvane"
# Windows 11 accepts an unsigned package whose Publisher carries this OID.
UNSIGNED_OID = "OID.2.25.311729368913984317654407730594956997722=1"
BLOCK_SIZE = 64 * 1024
LOCAL_HEADER_FIXED = 30  # a ZIP local file header before its name and extra field
# Fixed stamps make the same inputs give the same package, byte for byte.
STAMP = (1980, 1, 1, 0, 0, 0)
BLOCKMAP_NS = "http://schemas.microsoft.com/appx/2010/blockmap"
SHA256_URI = "http://www.w3.org/2001/04/xmlenc#sha256"
CONTENT_TYPES = (
    '<?xml version="1.0" encoding="UTF-8"?>\r\n'
    '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="xml" ContentType="application/vnd.ms-appx.manifest+xml"/>'
    '<Override PartName="/AppxBlockMap.xml" ContentType="application/vnd.ms-appx.blockmap+xml"/>'
    "</Types>\r\n"
)
CLSID_PATTERN = re.compile(
    r"CLSID_QuellisCommand\s*=\s*\{\s*0x([0-9A-Fa-f]{8})\s*,\s*0x([0-9A-Fa-f]{4})\s*,\s*0x([0-9A-Fa-f]{4})\s*,"
    r"\s*\{((?:\s*0x[0-9A-Fa-f]{2}\s*,?){8})\}")


def fail(message):
    sys.exit("make-shell-package: " + message)


def command_class_id(source):
    """The class id that the module's source defines, as 8-4-4-4-12 upper-case hex."""
    with open(source, encoding="utf-8") as f:
        match = CLSID_PATTERN.search(f.read())
    if not match:
        fail("no CLSID_QuellisCommand definition in " + source)
    tail = "".join(b[2:] for b in re.findall(r"0x[0-9A-Fa-f]{2}", match.group(4))).upper()
    return "%s-%s-%s-%s-%s" % (match.group(1).upper(), match.group(2).upper(), match.group(3).upper(),
                               tail[:4], tail[4:])


# The publisher id in a family name: the first 64 bits of the SHA-256 of the
# publisher in UTF-16LE, one zero bit added, as 13 digits of this alphabet.
PUBLISHER_ID_ALPHABET = "0123456789abcdefghjkmnpqrstvwxyz"


def family_name(name, publisher):
    digest = hashlib.sha256(publisher.encode("utf-16-le")).digest()[:8]
    bits = int.from_bytes(digest, "big") << 1
    digits = [PUBLISHER_ID_ALPHABET[(bits >> shift) & 31] for shift in range(60, -5, -5)]
    return name + "_" + "".join(digits)


def fill(template, values):
    with open(os.path.join(HERE, template), encoding="utf-8") as f:
        text = f.read()
    for key, value in values.items():
        text = text.replace("@%s@" % key, value)
    return text


def package_version(version):
    parts = version.split(".")
    if not 3 <= len(parts) <= 4 or not all(p.isdigit() for p in parts) or parts[0] == "0":
        fail("version %s is not of the form 1.2.3 or 1.2.3.4" % version)
    return ".".join(parts + ["0"] * (4 - len(parts)))


def certificate_subject(cert):
    """The certificate's subject as Windows writes it: most specific part first."""
    for form in ("PEM", "DER"):
        result = subprocess.run(["openssl", "x509", "-noout", "-subject", "-inform", form, "-in", cert,
                                 "-nameopt", "RFC2253"], capture_output=True, text=True)
        if result.returncode == 0:
            subject = result.stdout.strip()
            subject = subject[len("subject="):] if subject.startswith("subject=") else subject
            return re.sub(r"(?<!\\),", ", ", subject)
    fail("cannot read the subject of " + cert)


def manifest_text(args, publisher):
    values = {"NAME": PACKAGE_NAME, "PUBLISHER": publisher, "VERSION": package_version(args.version),
              "CLSID": command_class_id(args.classes), "DLL": args.dll, "EXECUTABLE": args.executable,
              "LOGO": args.logo}
    text = fill("AppxManifest.xml.in", {k: escape(v, {'"': "&quot;"}) for k, v in values.items()})
    if "@" in re.sub(r"<!--.*?-->", "", text, flags=re.S):
        fail("a placeholder of AppxManifest.xml.in is left unfilled")
    return text.encode("utf-8")


def block_map(parts):
    """parts: (name, bytes, local header size) in package order."""
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             "<BlockMap xmlns=%s HashMethod=%s>" % (quoteattr(BLOCKMAP_NS), quoteattr(SHA256_URI))]
    for name, data, header_size in parts:
        lines.append("  <File Name=%s Size=\"%d\" LfhSize=\"%d\">" % (quoteattr(name.replace("/", "\\")), len(data),
                                                                     header_size))
        for offset in range(0, len(data), BLOCK_SIZE):
            digest = hashlib.sha256(data[offset:offset + BLOCK_SIZE]).digest()
            lines.append("    <Block Hash=%s/>" % quoteattr(base64.b64encode(digest).decode("ascii")))
        lines.append("  </File>")
    lines.append("</BlockMap>")
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


def entry(name, compression=zipfile.ZIP_STORED):
    info = zipfile.ZipInfo(name, STAMP)
    info.compress_type = compression
    info.create_system = 0  # MS-DOS: no Unix permissions in the package
    return info


def write_script(path, package_path, publisher):
    # PowerShell's single quotes hold any text but a single quote.
    values = {"NAME": PACKAGE_NAME, "FAMILY": family_name(PACKAGE_NAME, publisher),
              "PACKAGE_FILE": os.path.basename(package_path)}
    if any("'" in value for value in values.values()):
        fail("a quote in the package's names cannot go into the script")
    with open(path, "w", encoding="utf-8-sig", newline="\r\n") as out:
        out.write(fill("shell-package.ps1.in", values))


def write_package(path, manifest):
    payload = [("AppxManifest.xml", manifest)]
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as package:
        parts = []
        for name, data in payload:
            info = entry(name)
            package.writestr(info, data)
            parts.append((name, data, LOCAL_HEADER_FIXED + len(info.filename.encode("utf-8")) + len(info.extra)))
        package.writestr(entry("AppxBlockMap.xml", zipfile.ZIP_DEFLATED), block_map(parts))
        # Deflated, as Windows's own packer writes it: osslsigncode rewrites
        # this part when it signs and keeps a stored one's method for its
        # deflated bytes, which no reader accepts.
        package.writestr(entry("[Content_Types].xml", zipfile.ZIP_DEFLATED), CONTENT_TYPES.encode("utf-8"))
    with open(path, "wb") as out:
        out.write(buffer.getvalue())


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    for option in ("--output", "--version", "--classes", "--dll", "--executable", "--logo"):
        parser.add_argument(option, required=True)
    parser.add_argument("--script")
    args = parser.parse_args()
    cert, key = os.environ.get("VARKEL_SIGN_CERT", ""), os.environ.get("VARKEL_SIGN_KEY", "")
    signing = bool(cert and key)
    publisher = certificate_subject(cert) if signing else PUBLISHER + ", " + UNSIGNED_OID
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    write_package(args.output, manifest_text(args, publisher))
    if args.script:
        write_script(args.script, args.output, publisher)
    if signing:
        subprocess.run([os.path.join(ROOT, "scripts", "sign.sh"), args.output], check=True)
    else:
        print("make-shell-package: UNSIGNED (unsigned-publisher OID; Windows adds it only with -AllowUnsigned): "
              + os.path.basename(args.output))
    print("make-shell-package: %s (%s, %s)" % (args.output, PACKAGE_NAME, publisher))
    return 0


if __name__ == "__main__":
    sys.exit(main())
