"""A small reader of Windows PE images: headers, imports, exports and resources.

Only what the deliverable checks need, read straight from the file's bytes so
that the checks depend on nothing but Python.
"""

import struct

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
RT_MANIFEST = 24

IMAGE_FILE_DLL = 0x2000
DIRECTORY_EXPORT = 0
DIRECTORY_IMPORT = 1
DIRECTORY_RESOURCE = 2
DIRECTORY_DELAY_IMPORT = 13


class PeFormatError(Exception):
    pass


class PeImage:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeFormatError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeFormatError("no PE signature")
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic == 0x10B:
            self.is64 = False
            directories_at = optional + 96
        elif magic == 0x20B:
            self.is64 = True
            directories_at = optional + 112
        else:
            raise PeFormatError("unknown optional header magic %#x" % magic)
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        count = struct.unpack_from("<I", data, directories_at - 4)[0]
        self.directories = [struct.unpack_from("<II", data, directories_at + 8 * i) for i in range(min(count, 16))]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, vaddr, rsize, raddr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("ascii", "replace"), vaddr, max(vsize, rsize), raddr, rsize))

    # ---- addresses -------------------------------------------------------------
    def offset(self, rva):
        for _, vaddr, vsize, raddr, rsize in self.sections:
            if vaddr <= rva < vaddr + vsize:
                if rva - vaddr >= rsize:
                    raise PeFormatError("address %#x lies in uninitialised data" % rva)
                return raddr + rva - vaddr
        raise PeFormatError("address %#x is in no section" % rva)

    def cstring(self, rva):
        at = self.offset(rva)
        end = self.data.index(b"\0", at)
        return self.data[at:end].decode("ascii")

    def directory(self, index):
        if index >= len(self.directories):
            return (0, 0)
        return self.directories[index]

    # ---- imports and exports ---------------------------------------------------
    def imported_dlls(self):
        """The DLL names of the import table and of the delay-load table."""
        names = []
        rva, _ = self.directory(DIRECTORY_IMPORT)
        if rva:
            at = self.offset(rva)
            while True:
                entry = struct.unpack_from("<IIIII", self.data, at)
                if entry == (0, 0, 0, 0, 0):
                    break
                names.append(self.cstring(entry[3]))
                at += 20
        rva, _ = self.directory(DIRECTORY_DELAY_IMPORT)
        if rva:
            at = self.offset(rva)
            while True:
                entry = struct.unpack_from("<8I", self.data, at)
                if not any(entry):
                    break
                names.append(self.cstring(entry[1]))
                at += 32
        return names

    def exports(self):
        """{name: ordinal} of the export table."""
        rva, _ = self.directory(DIRECTORY_EXPORT)
        if not rva:
            return {}
        at = self.offset(rva)
        (_, _, _, _, _, base, _, name_count, _, names_rva,
         ordinals_rva) = struct.unpack_from("<IIHHIIIIIII", self.data, at)
        result = {}
        for i in range(name_count):
            name_rva = struct.unpack_from("<I", self.data, self.offset(names_rva) + 4 * i)[0]
            index = struct.unpack_from("<H", self.data, self.offset(ordinals_rva) + 2 * i)[0]
            result[self.cstring(name_rva)] = base + index
        return result

    # ---- resources -------------------------------------------------------------
    def resources(self):
        """{(type, name): [(language, bytes)]}; ids are ints, names strings."""
        rva, _ = self.directory(DIRECTORY_RESOURCE)
        if not rva:
            return {}
        root = self.offset(rva)
        found = {}

        def entries(table):
            named, numbered = struct.unpack_from("<HH", self.data, table + 12)
            for i in range(named + numbered):
                key, target = struct.unpack_from("<II", self.data, table + 16 + 8 * i)
                if key & 0x80000000:
                    at = root + (key & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, at)[0]
                    key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield key, target

        for rtype, type_target in entries(root):
            for name, name_target in entries(root + (type_target & 0x7FFFFFFF)):
                for language, leaf in entries(root + (name_target & 0x7FFFFFFF)):
                    data_rva, size = struct.unpack_from("<II", self.data, root + leaf)
                    at = self.offset(data_rva)
                    found.setdefault((rtype, name), []).append((language, self.data[at:at + size]))
        return found


def parse_version_info(blob):
    """(fixed file info dict, {block: {key: value}}, translations) of an RT_VERSION resource."""

    def node(at):
        length, value_length, kind = struct.unpack_from("<HHH", blob, at)
        key_at = at + 6
        end_key = key_at
        while blob[end_key:end_key + 2] != b"\0\0":
            end_key += 2
        key = blob[key_at:end_key].decode("utf-16-le")
        value_at = (end_key + 2 + 3) & ~3
        return length, value_length, kind, key, value_at

    def children(start, end):
        at = (start + 3) & ~3
        while at < end:
            length = struct.unpack_from("<H", blob, at)[0]
            if length == 0:
                break
            yield at
            at = (at + length + 3) & ~3

    length, value_length, _, key, value_at = node(0)
    if key != "VS_VERSION_INFO":
        raise PeFormatError("version resource key is %r" % key)
    fields = struct.unpack_from("<13I", blob, value_at)
    if fields[0] != 0xFEEF04BD:
        raise PeFormatError("no VS_FIXEDFILEINFO signature")
    fixed = {
        "file_version": (fields[2] >> 16, fields[2] & 0xFFFF, fields[3] >> 16, fields[3] & 0xFFFF),
        "product_version": (fields[4] >> 16, fields[4] & 0xFFFF, fields[5] >> 16, fields[5] & 0xFFFF),
        "file_os": fields[8],
        "file_type": fields[9],
    }
    tables = {}
    translations = []
    for child in children(value_at + value_length, length):
        c_length, _, _, c_key, c_value_at = node(child)
        if c_key == "StringFileInfo":
            for table in children(c_value_at, child + c_length):
                t_length, _, _, block, t_value_at = node(table)
                strings = tables.setdefault(block, {})
                for item in children(t_value_at, table + t_length):
                    _, s_value_length, _, s_key, s_value_at = node(item)
                    # The value length counts characters, its terminator included.
                    text = blob[s_value_at:s_value_at + 2 * s_value_length].decode("utf-16-le")
                    strings[s_key] = text.split("\0", 1)[0]
        elif c_key == "VarFileInfo":
            for var in children(c_value_at, child + c_length):
                _, v_value_length, _, _, v_value_at = node(var)
                for i in range(0, v_value_length, 4):
                    translations.append(struct.unpack_from("<HH", blob, v_value_at + i))
    return fixed, tables, translations


def parse_icon_group(blob):
    """[(width, height, bit count, icon id)] of an RT_GROUP_ICON resource (0 means 256)."""
    _, kind, count = struct.unpack_from("<HHH", blob, 0)
    if kind != 1:
        raise PeFormatError("icon group of type %d" % kind)
    images = []
    for i in range(count):
        width, height, _, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", blob, 6 + 14 * i)
        images.append((width or 256, height or 256, bits, icon_id))
    return images


def describe_icon_image(blob):
    """('png' or 'dib', width, height, bits per pixel) of one RT_ICON image."""
    if blob[:8] == b"\x89PNG\r\n\x1a\n":
        width, height, depth, colour = struct.unpack_from(">IIBB", blob, 16)
        channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
        return "png", width, height, depth * channels
    size, width, height, _, bits = struct.unpack_from("<IiiHH", blob, 0)
    if size != 40:
        raise PeFormatError("icon image with a header of %d bytes" % size)
    # The height of an icon's DIB counts the colour and the mask rows.
    return "dib", width, height // 2, bits
