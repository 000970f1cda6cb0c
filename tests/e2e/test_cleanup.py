"""The cleanup on fixture drives: the whole road through the real window from
Scan Now to Finish in each mode, and the Windows test of the cleanup run in a
machine where, after the scan, a folder of a find, a find itself or the
destination folder is swapped for a link, and a 5 GiB find lies on another
drive; where drive letters overlap; where a drive is read-only; and where the
chosen destination is itself a link."""

import os
import re
import subprocess
import time
import unittest

import bench
from cleaner_session import CleanerTestCase

# Centres of the controls, relative to the wizard window (its layout).
SCAN_NOW = (623, 515)
NEXT_ON_SCAN_PAGE = (662, 523)
NEXT_ON_REPORT_PAGE = (662, 524)
RADIO = {'delete': (62, 179), 'recycle': (62, 211), 'folder': (62, 243)}
NEXT_ON_OPTIONS_PAGE = (670, 527)
FINISH = (663, 525)
# The text at the top of the first page, unchanged by hovering.
FIRST_PAGE_TEXT = (28, 85, 600, 40)

FIVE_GIB = 5 << 30


def make(root, *parts, data=b'junk'):
    path = os.path.join(root, *parts)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)
    return path


class WholeRoad(CleanerTestCase):
    """Scan Now, Next, Next, a mode, Next, Finish, with the mouse."""

    def run_road(self, mode):
        s = self.session
        d = s.fixture('d')
        files = [make(d, 'x.tmp'), make(d, 'deep', 'er', 'thumbs.db'), make(d, 'old.bak')]
        keep = make(d, 'keep.txt')
        s.set_drive('d', d)
        prog = self.start_cleaner()
        win = self.wait_wizard(prog)
        time.sleep(1)
        first_page = win.screenshot().crop(*FIRST_PAGE_TEXT)
        win.click(*SCAN_NOW)
        time.sleep(3)
        win.click(*NEXT_ON_SCAN_PAGE)
        time.sleep(1)
        win.click(*NEXT_ON_REPORT_PAGE)
        time.sleep(1)
        win.click(*RADIO[mode])
        time.sleep(0.5)
        win.screenshot('options-%s.png' % mode)
        win.click(*NEXT_ON_OPTIONS_PAGE)
        if mode == 'delete':
            box = s.wait_window('Pelmora Scourly - Delete Confirmation', pid=prog, timeout=10)
            box.focus()
            s.key('y')
        if mode == 'folder':
            # No folder chosen: nothing may move.
            time.sleep(3)
        else:
            self.wait_until(lambda: not any(os.path.exists(f) for f in files), 20, 'the finds to go')
        win.screenshot('cleanup-%s.png' % mode)
        win.click(*FINISH)
        time.sleep(1)
        self.assertEqual(win.screenshot().crop(*FIRST_PAGE_TEXT).rgb, first_page.rgb, 'Finish shows the first page')
        self.assertTrue(os.path.exists(keep))
        self.assertTrue(prog.running())
        return files

    def test_permanent_deletion(self):
        files = self.run_road('delete')
        self.assertEqual(os.listdir(os.path.join(self.session.trash, 'files')), [])
        self.assertFalse(any(os.path.exists(f) for f in files))

    def test_recycle_bin(self):
        self.run_road('recycle')
        recycled = os.listdir(os.path.join(self.session.trash, 'files'))
        for name in ('x.tmp', 'thumbs.db', 'old.bak'):
            self.assertIn(name, recycled)

    def test_one_folder_without_a_folder_moves_nothing(self):
        files = self.run_road('folder')
        self.assertTrue(all(os.path.exists(f) for f in files))


class PlantedLinks(bench.BenchTestCase):
    """The Windows test of the cleanup run, with links planted after its scan
    and before Next, where the Linux side makes them."""

    def wait_until(self, condition, timeout, what):
        return bench._wait_for(condition, timeout, what)

    def clean(self, mode, drives, plant):
        """Runs the cleanup in MODE (into C:\\dest in the one-folder mode) on
        DRIVES, with PLANT called between the scan and Next; returns the output
        and the rows as {path: status}."""
        s = self.session
        c = s.fixture('c')
        handshake = os.path.join(c, 'handshake')
        os.makedirs(handshake)
        exe = s.install(bench.find_built('win_tests.exe'), r'C:\tests')
        s.env.update(SCOURLY_CLEAN_DRIVES=drives, SCOURLY_CLEAN_HANDSHAKE=r'C:\handshake', SCOURLY_CLEAN_MODE=mode,
                     SCOURLY_CLEAN_FOLDER=r'C:\dest')
        prog = s.start(exe, '--gtest_filter=CleanupDrives.*')
        self.wait_until(lambda: os.path.exists(os.path.join(handshake, 'scanned')), 60, 'the scan')
        plant()
        open(os.path.join(handshake, 'planted'), 'w').close()
        code = prog.wait(120)
        output = prog.output()
        self.assertEqual(code, 0, output)
        self.assertIn('[  PASSED  ] 1 test', output)
        return output, dict(re.findall(r'^ROW (.+?) \| (.*?)\r?$', output, re.M))

    @staticmethod
    def statuses(mode):
        """The failed and the done status of MODE."""
        return ('Moved Error', 'File Moved') if mode == 'folder' else ('Deleted Error', 'File Deleted')


class PlantedLinksAndWholeSize(PlantedLinks):
    """C:\\a\\x.tmp is found; before Next, C:\\a becomes a link to a folder
    outside the drives that holds its own x.tmp, and the found C:\\fl\\f.tmp
    becomes a link to a file outside (Wine shows such a link with the plain
    attributes of its target). D: holds a 5 GiB find."""

    def run_mode(self, mode):
        s = self.session
        c, d = s.fixture('c'), s.fixture('d')
        outside = s.fixture('outside')
        make(c, 'a', 'x.tmp', data=b'scanned')
        make(c, 'b', 'y.tmp')
        found_file = make(c, 'fl', 'f.tmp', data=b'scanned')
        target = make(outside, 'x.tmp', data=b'outside, never to be touched')
        file_target = make(s.fixture('elsewhere'), 'f.tmp', data=b'a file outside, never to be touched')
        os.makedirs(os.path.join(c, 'dest'))
        with open(os.path.join(d, 'big.tmp'), 'wb') as f:
            f.truncate(FIVE_GIB)
        s.set_drive('c', c)
        s.set_drive('d', d)

        def plant():
            os.rename(os.path.join(c, 'a'), os.path.join(c, 'a-scanned'))
            os.symlink(outside, os.path.join(c, 'a'))
            os.remove(found_file)
            os.symlink(file_target, found_file)

        output, rows = self.clean(mode, 'C:,D:', plant)
        with open(target, 'rb') as f:
            self.assertEqual(f.read(), b'outside, never to be touched')
        with open(file_target, 'rb') as f:
            self.assertEqual(f.read(), b'a file outside, never to be touched')
        self.assertTrue(os.path.islink(found_file))
        failed, done = self.statuses(mode)
        self.assertEqual(rows.get(r'C:\a\x.tmp'), failed, output)
        self.assertEqual(rows.get(r'C:\fl\f.tmp'), failed, output)
        self.assertEqual(rows.get(r'C:\b\y.tmp'), done, output)
        self.assertEqual(rows.get(r'D:\big.tmp'), done, output)
        # The whole size, in the report row, the totals and the details.
        self.assertRegex(output, r'(?m)^REPORT D: 1 5242880 KB\r?$')
        self.assertRegex(output, r'(?m)^TOTALS 4 \| 5242880 KB\r?$')
        self.assertIn(r'DETAIL FileName: big.tmp|Path: D:\big.tmp|Size: 5242880KB', output)
        self.assertFalse(os.path.exists(os.path.join(d, 'big.tmp')))
        return c

    def test_permanent_deletion(self):
        self.run_mode('delete')

    def test_recycle_bin(self):
        self.run_mode('recycle')
        recycled = os.listdir(os.path.join(self.session.trash, 'files'))
        self.assertIn('big.tmp', recycled)
        self.assertNotIn('f.tmp', recycled)

    def test_one_folder(self):
        c = self.run_mode('folder')
        self.assertEqual(sorted(os.listdir(os.path.join(c, 'dest'))), ['big.tmp', 'y.tmp'])
        self.assertEqual(os.path.getsize(os.path.join(c, 'dest', 'big.tmp')), FIVE_GIB)


class DestinationSwapped(PlantedLinks):
    """In the one-folder mode, C:\\dest, the chosen folder, is swapped after the
    scan for a link to a folder outside the drives: nothing moves."""

    def test_one_folder_into_a_link(self):
        s = self.session
        c = s.fixture('c')
        finds = [make(c, 'a', 'x.tmp'), make(c, 'b', 'y.tmp')]
        dest = os.path.join(c, 'dest')
        os.makedirs(dest)
        outside = s.fixture('outside')
        s.set_drive('c', c)

        def plant():
            os.rmdir(dest)
            os.symlink(outside, dest)

        output, rows = self.clean('folder', 'C:', plant)
        self.assertEqual(rows, {r'C:\a\x.tmp': 'Moved Error', r'C:\b\y.tmp': 'Moved Error'}, output)
        self.assertEqual(os.listdir(outside), [])
        self.assertTrue(all(os.path.exists(f) for f in finds))


class DestinationChosenAsLink(PlantedLinks):
    """In the one-folder mode the chosen C:\\dest is a link to C:\\real, as a
    junction would be: the files go into C:\\real, and the find that lies in
    C:\\real already stays as it is."""

    def test_one_folder_into_a_chosen_link(self):
        s = self.session
        c = s.fixture('c')
        make(c, 'a', 'x.tmp', data=b'moved')
        real = os.path.join(c, 'real')
        there = make(real, 'old.tmp', data=b'already there')
        os.symlink(real, os.path.join(c, 'dest'))
        s.set_drive('c', c)
        output, rows = self.clean('folder', 'C:', lambda: None)
        self.assertEqual(rows, {r'C:\a\x.tmp': 'File Moved', r'C:\real\old.tmp': 'File Moved'}, output)
        self.assertEqual(sorted(os.listdir(real)), ['old.tmp', 'x.tmp'])
        with open(there, 'rb') as f:
            self.assertEqual(f.read(), b'already there')


class OverlappingLetters(PlantedLinks):
    """E: is D:'s folder sub, as a SUBST drive would make it, and G: is F:'s
    folder inner. Under Wine a file's final path comes back under the deepest
    letter that maps its folder, so D:\\sub's finds resolve under E:. D: and
    G: are cleaned, E: and F: not: every find is an ordinary file and goes."""

    def run_mode(self, mode):
        s = self.session
        c, d, f = s.fixture('c'), s.fixture('d'), s.fixture('f')
        finds = {r'D:\x.tmp': make(d, 'x.tmp'), r'D:\sub\y.tmp': make(d, 'sub', 'y.tmp'),
                 r'D:\sub\deep\z.tmp': make(d, 'sub', 'deep', 'z.tmp'),
                 r'G:\w.tmp': make(f, 'inner', 'w.tmp'), r'G:\k\v.tmp': make(f, 'inner', 'k', 'v.tmp')}
        kept = make(f, 'outer.tmp')
        os.makedirs(os.path.join(c, 'dest'))
        for letter, path in (('c', c), ('d', d), ('e', os.path.join(d, 'sub')), ('f', f),
                             ('g', os.path.join(f, 'inner'))):
            s.set_drive(letter, path)
        output, rows = self.clean(mode, 'D:,G:', lambda: None)
        done = self.statuses(mode)[1]
        self.assertEqual(rows, {path: done for path in finds}, output)
        self.assertEqual([p for p in finds.values() if os.path.exists(p)], [])
        self.assertTrue(os.path.exists(kept))
        return c

    def test_permanent_deletion(self):
        self.run_mode('delete')

    def test_recycle_bin(self):
        self.run_mode('recycle')
        recycled = os.listdir(os.path.join(self.session.trash, 'files'))
        for name in ('x.tmp', 'y.tmp', 'z.tmp', 'w.tmp', 'v.tmp'):
            self.assertIn(name, recycled)

    def test_one_folder(self):
        c = self.run_mode('folder')
        self.assertEqual(sorted(os.listdir(os.path.join(c, 'dest'))), ['v.tmp', 'w.tmp', 'x.tmp', 'y.tmp', 'z.tmp'])


class ReadOnlyDrive(PlantedLinks):
    """D: lies on a read-only mount. Wine reports the deletion of its file as
    done and leaves the file where it was: the row says it failed. The mount
    needs root (scripts/test.sh runs the tests in a mount namespace of their
    own)."""

    def test_permanent_deletion(self):
        if os.geteuid() != 0:
            self.skipTest('a read-only mount needs root')
        s = self.session
        c, files, d = s.fixture('c'), s.fixture('d-files'), s.fixture('d')
        found = make(files, 'x.tmp')
        subprocess.run(['mount', '--bind', files, d], check=True)
        self.addCleanup(subprocess.run, ['umount', '-l', d])
        subprocess.run(['mount', '-o', 'remount,bind,ro', d], check=True)
        s.set_drive('c', c)
        s.set_drive('d', d)
        output, rows = self.clean('delete', 'D:', lambda: None)
        self.assertEqual(rows, {r'D:\x.tmp': 'Deleted Error'}, output)
        self.assertTrue(os.path.exists(found))

if __name__ == '__main__':
    unittest.main()
