"""What the release build puts into the two programs, read from the files
without running them: the product form (PE32, i386, GUI, system DLLs only)
and their resources. Whatever build the Windows tests run, the product is
the i686 release build."""

import os
import re
import struct
import unittest

from pe_file import PeFile, RT_GROUP_ICON, RT_MANIFEST, RT_VERSION

BUILD = os.environ.get('SCOURLY_RELEASE_DIR', os.path.join(os.path.dirname(__file__), '..', '..', 'build', 'release'))
SYSTEM_DLLS = {'kernel32.dll', 'user32.dll', 'gdi32.dll', 'advapi32.dll', 'shell32.dll', 'ole32.dll',
               'comctl32.dll', 'msvcrt.dll', 'ws2_32.dll', 'bcrypt.dll', 'crypt32.dll', 'winmm.dll',
               'comdlg32.dll', 'shlwapi.dll', 'oleaut32.dll', 'version.dll'}
BUTTONS = ['ADDBTN', 'EDITBTN', 'DELBTN', 'STOPSCANBTN', 'BACKBTN', 'NEXTBTN', 'FINISHBTN', 'SCANNOWBTN',
           'MINIMIZEBTN', 'CLOSEBTN', 'OK']


def program(name):
    sub = {'Scourly.exe': 'cleaner', 'Update.exe': 'updater'}[name]
    return PeFile(os.path.join(BUILD, sub, name))


class ProductForm(unittest.TestCase):
    def test_both_programs_are_32_bit_gui_programs_importing_only_system_dlls(self):
        for name in ('Scourly.exe', 'Update.exe'):
            with self.subTest(name):
                pe = program(name)
                self.assertEqual(pe.machine, 0x14C)  # i386
                self.assertEqual(pe.magic, 0x10B)    # PE32
                self.assertEqual(pe.subsystem, 2)    # Windows GUI
                imports = {n.lower() for n in pe.imports()}
                self.assertTrue(imports)
                self.assertLessEqual(imports, SYSTEM_DLLS, imports - SYSTEM_DLLS)


class CleanerResources(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.resources = program('Scourly.exe').resources()

    def test_manifest_asks_for_administrator_and_nothing_else(self):
        manifests = [r for r in self.resources if r[0] == RT_MANIFEST]
        self.assertEqual(len(manifests), 1)
        _, name, _, data = manifests[0]
        self.assertEqual(name, 1)
        text = data.decode('utf-8')
        self.assertIn('<requestedExecutionLevel level="requireAdministrator"/>', text)
        self.assertIn('trustInfo', text)
        self.assertNotIn('uiAccess', text)
        self.assertNotIn('dependency', text)  # no common-controls 6: classic drawing

    def test_button_pictures_are_jpegs_stored_under_upper_case_names_in_language_2052(self):
        jpg = {name: (lang, data) for kind, name, lang, data in self.resources if kind == 'JPG'}
        expected = {n + suffix for n in BUTTONS for suffix in ('', '1')}
        self.assertEqual(set(jpg), expected)
        for name, (lang, data) in jpg.items():
            with self.subTest(name):
                self.assertEqual(lang, 2052)
                self.assertEqual(data[:3], b'\xff\xd8\xff')
                self.assertLess(len(data), 12 * 1024)


class UpdaterResources(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.resources = program('Update.exe').resources()

    def test_no_manifest(self):
        self.assertFalse([r for r in self.resources if r[0] == RT_MANIFEST])

    def test_main_icon_holds_the_seven_sizes(self):
        groups = {name: data for kind, name, _, data in self.resources if kind == RT_GROUP_ICON}
        self.assertIn('MAINICON', groups)
        data = groups['MAINICON']
        count = struct.unpack_from('<H', data, 4)[0]
        sizes = sorted((data[6 + 14 * i] or 256) for i in range(count))
        self.assertEqual(sizes, [16, 24, 32, 48, 64, 72, 256])

    def test_version_is_1_0_0_0_with_the_makers_name_only(self):
        versions = [data for kind, _, _, data in self.resources if kind == RT_VERSION]
        self.assertEqual(len(versions), 1)
        data = versions[0]
        fixed = data.index(struct.pack('<I', 0xFEEF04BD))
        file_ms, file_ls, product_ms, product_ls = struct.unpack_from('<IIII', data, fixed + 8)
        self.assertEqual((file_ms, file_ls, product_ms, product_ls), (0x10000, 0, 0x10000, 0))
        text = data.decode('utf-16-le', errors='ignore')
        self.assertIn('CompanyName', text)
        for other in ('FileDescription', 'ProductName', 'LegalCopyright', 'OriginalFilename'):
            self.assertNotIn(other, text)


if __name__ == '__main__':
    unittest.main()
