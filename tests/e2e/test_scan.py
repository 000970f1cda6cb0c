"""The scan over fixture drives: the Windows test of the scan run in a machine
whose drives are folders made here, with a folder link that loops, a Windows
folder of another case and a CD drive that must not be walked."""

import os
import re
import unittest

import bench

PATTERNS = '*.tmp,thumbs.db,-*.bak'


class Scan(bench.BenchTestCase):
    def test_walks_the_ticked_fixed_drives_once_each(self):
        s = self.session
        c = s.fixture('c')
        d = s.fixture('d')
        e = s.fixture('e')

        def make(root, *parts, size=3):
            path = os.path.join(root, *parts)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, 'wb') as f:
                f.write(b'x' * size)

        # C: holds the link to the real Windows folder that Wine needs, and a
        # real folder of the same name in other letters: neither is walked.
        make(c, 'WINDOWS', 'inwindows.tmp')
        make(c, 'keep', 'c.tmp')
        make(d, 'root.tmp', size=7)
        make(d, 'a', 'thumbs.db')
        make(d, 'a', 'Thumbs.db')
        make(d, 'a', 'b', 'deep.tmp')
        make(d, 'a', 'b', 'old.bak')
        make(d, 'Windows', 'other.tmp')   # not the Windows folder: another drive
        os.symlink(os.path.join(d, 'a'), os.path.join(d, 'a', 'b', 'loop'))
        make(e, 'cd.tmp')
        s.set_drive('c', c)
        s.set_drive('d', d)
        s.set_drive('e', e, kind='cdrom')

        exe = s.install(bench.find_built('win_tests.exe'), r'C:\tests')
        s.env['SCOURLY_SCAN_DRIVES'] = 'C:,D:'
        s.env['SCOURLY_SCAN_PATTERNS'] = PATTERNS
        prog = s.start(exe, '--gtest_filter=ScanDrives.*')
        code = prog.wait(120)
        output = prog.output()
        self.assertEqual(code, 0, output)
        self.assertIn('[  PASSED  ] 1 test', output)

        found = re.findall(r'^FOUND (.+) (-?\d+)\r?$', output, re.M)
        paths = [p for p, _ in found]
        self.assertEqual(len(paths), len(set(paths)), 'found twice: %s' % paths)
        self.assertEqual(sorted(paths), sorted([
            r'C:\keep\c.tmp',
            r'D:\root.tmp',
            r'D:\a\thumbs.db',
            r'D:\a\b\deep.tmp',
            r'D:\Windows\other.tmp',
        ]), output)
        self.assertIn((r'D:\root.tmp', '7'), found)


if __name__ == '__main__':
    unittest.main()
