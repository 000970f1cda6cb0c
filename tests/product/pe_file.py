"""Just enough of the PE format to check what the build put into a program:
machine, subsystem, imported DLLs and resources."""

import struct

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST, RT_RCDATA = 3, 14, 16, 24, 10


class PeFile:
    def __init__(self, path):
        with open(path, 'rb') as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b'MZ':
            raise ValueError('not an MZ file')
        pe = struct.unpack_from('<I', d, 0x3C)[0]
        if d[pe:pe + 4] != b'PE\0\0':
            raise ValueError('no PE signature')
        self.machine, sections, _, _, _, optional_size, self.characteristics = struct.unpack_from('<HHIIIHH', d, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from('<H', d, opt)[0]
        self.subsystem = struct.unpack_from('<H', d, opt + 68)[0]
        directory_count = struct.unpack_from('<I', d, opt + 92)[0]
        self.directories = [struct.unpack_from('<II', d, opt + 96 + 8 * i) for i in range(directory_count)]
        self.sections = []
        table = opt + optional_size
        for i in range(sections):
            name, vsize, va, raw_size, raw_ptr = struct.unpack_from('<8sIIII', d, table + 40 * i)
            self.sections.append((va, max(vsize, raw_size), raw_ptr))

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError('rva %#x outside every section' % rva)

    def _cstring(self, offset):
        end = self.data.index(b'\0', offset)
        return self.data[offset:end].decode('latin-1')

    def imports(self):
        rva, size = self.directories[1]
        names = []
        if not rva:
            return names
        at = self.offset(rva)
        while True:
            entry = struct.unpack_from('<IIIII', self.data, at)
            if not any(entry):
                return names
            names.append(self._cstring(self.offset(entry[3])))
            at += 20

    def resources(self):
        """Every resource as (type, name, language, bytes); type and name are
        ints or upper-case strings as stored."""
        rva, _ = self.directories[2]
        if not rva:
            return []
        base = self.offset(rva)
        out = []

        def label(entry_name):
            if entry_name & 0x80000000:
                at = base + (entry_name & 0x7FFFFFFF)
                length = struct.unpack_from('<H', self.data, at)[0]
                return self.data[at + 2:at + 2 + 2 * length].decode('utf-16-le')
            return entry_name

        def walk(offset, path):
            named, numbered = struct.unpack_from('<HH', self.data, offset + 12)
            for i in range(named + numbered):
                entry_name, target = struct.unpack_from('<II', self.data, offset + 16 + 8 * i)
                key = path + [label(entry_name)]
                if target & 0x80000000:
                    walk(base + (target & 0x7FFFFFFF), key)
                else:
                    data_rva, size = struct.unpack_from('<II', self.data, base + target)
                    at = self.offset(data_rva)
                    out.append((key[0], key[1], key[2], self.data[at:at + size]))

        walk(base, [])
        return out
