"""The drive list sees only fixed drives: the Windows test of the drive list
run in a machine whose drives are fixture folders of every kind."""

import unittest

import bench


class DriveList(bench.BenchTestCase):
    def test_only_fixed_drives_are_listed_in_letter_order(self):
        s = self.session
        s.set_drive('d', s.fixture('optical'), kind='cdrom')
        s.set_drive('e', s.fixture('share'), kind='network')
        s.set_drive('f', s.fixture('data'))
        s.set_drive('g', s.fixture('floppy'), kind='floppy')
        exe = s.install(bench.find_built('win_tests.exe'), r'C:\tests')
        s.env['SCOURLY_EXPECT_DRIVES'] = 'C:,F:'
        prog = s.start(exe, '--gtest_filter=DriveList.*')
        code = prog.wait(120)
        output = prog.output()
        self.assertEqual(code, 0, output)
        self.assertIn('[  PASSED  ] 2 tests', output)


if __name__ == '__main__':
    unittest.main()
