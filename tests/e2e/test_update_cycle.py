"""The whole update cycle against a real web server: the cleaner finds a
newer version, starts the updater, which replaces the files, records the
version and starts the new cleaner. And the two programs side by side after
a failed run."""

import os
import shutil
import time
import unittest

import bench
from cleaner_session import CleanerTestCase, PRODUCT_KEY, PROGRAM_DIR, brightness
from nginx_server import NginxServer
from update_server import PORT

UPDATE_PATH = 'products/system-utility/pelmora-scourly/update/'
BASE = 'http://127.0.0.1:%d/%s' % (PORT, UPDATE_PATH)
QUESTION = 'Pelmora Scourly'
UPDATER = 'Pelmora Scourly Update'


class UpdateCycle(CleanerTestCase):
    def setUp(self):
        super().setUp()
        self.www = os.path.join(self.session.logs, 'www')
        self.update_dir = os.path.join(self.www, UPDATE_PATH)
        os.makedirs(os.path.join(self.update_dir, 'slow'))

    def publish(self, relative, data):
        path = os.path.join(self.update_dir, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(data)

    def wait_box(self, title, timeout=30, pid=None):
        """A message box titled TITLE, not a taskbar button of that title."""
        return self.wait_until(lambda: next(iter(self.boxes(title, pid)), None), timeout,
                               'a box titled %r' % title)

    def read(self, name):
        with open(self.program_file(name), 'rb') as f:
            return f.read()

    def test_cleaner_updater_and_new_cleaner_under_nginx(self):
        s = self.session
        old_cleaner = self.read('Scourly.exe')
        # The new cleaner is the same program with bytes after its image, so
        # it runs and can be told from the old one.
        new_cleaner = old_cleaner + b'\0new build\0' * 64
        data = bytes(range(256)) * 1200   # 300 KB at 200 KB/s: the window is seen mid-run
        self.publish('Scourly.exe', new_cleaner)
        self.publish('slow/junk.dat', data)
        self.publish('Update.ini', ('[Version]\r\nVer=2010.1.3\r\n\r\n[HTTP]\r\n'
                                    'main=%sScourly.exe\r\ndata=%sslow/junk.dat\r\n' % (BASE, BASE)).encode())
        os.makedirs(self.program_file('slow'))
        with open(self.program_file('slow/junk.dat'), 'wb') as f:
            f.write(b'old data')
        server = NginxServer(s.logs, self.www, PORT)
        self.addCleanup(server.stop)
        s.reg_set_values(PRODUCT_KEY, {'CheckUpdate': '1'})

        cleaner = self.start_cleaner()
        box = self.wait_box(QUESTION, pid=cleaner)
        box.focus()
        s.key('y')
        self.assertEqual(cleaner.wait(20), 0)

        win = s.wait_window(UPDATER, timeout=30)
        self.wait_until(lambda: os.path.exists(self.program_file('slow/junk.BAK')), 20, 'the data file backed up')
        win.focus()  # a second activation, which starts nothing
        time.sleep(0.8)  # about half of the data file has come
        win.screenshot('updater-running.png')
        shots = os.environ.get('SCOURLY_SHOTS')
        if shots:
            shutil.copy(os.path.join(s.logs, 'updater-running.png'), os.path.join(shots, 'updater.png'))

        done = self.wait_box(QUESTION)
        self.assertEqual(self.read('Scourly.exe'), new_cleaner)
        self.assertEqual(self.read('Scourly.BAK'), old_cleaner)
        self.assertEqual(self.read('slow/junk.dat'), data)
        self.assertEqual(self.read('slow/junk.BAK'), b'old data')
        self.assertEqual(s.reg_query(PRODUCT_KEY, 'Version'), '2010.1.3')
        done.focus()
        s.key('y')
        win.wait_closed(20)

        # The new cleaner starts; its own check finds nothing newer.
        s.wait_window('Frm_Main', timeout=30)
        self.assertEqual(self.boxes(QUESTION), [])

        requests = server.requests()
        targets = [r[3] for r in requests]
        self.assertEqual(targets, ['/' + UPDATE_PATH + n for n in
                                   ('Update.ini', 'Scourly.exe', 'slow/junk.dat', 'Update.ini')])
        self.assertTrue(all(r[2] == 200 for r in requests))
        # The updater's two files came over one connection.
        self.assertEqual(requests[1][0], requests[2][0])
        self.assertEqual((requests[1][1], requests[2][1]), (1, 2))


class BesideTheUpdater(CleanerTestCase):
    """Both programs put the same property on their windows; each must take
    the other's windows for what they are, none of its own."""

    def test_the_pointer_resting_on_the_other_programs_window_harms_neither(self):
        s = self.session
        # No server runs: the run fails at once and the updater stays on
        # screen, its run left unfinished, as after a failed update.
        with open(self.program_file('Update.ini'), 'wb') as f:
            f.write(('[Version]\r\nVer=2010.1.3\r\n\r\n[HTTP]\r\nmissing=%snot-published.dat\r\n' % BASE).encode())
        cleaner = self.start_cleaner()
        wizard = self.wait_wizard(cleaner)
        updater = s.start(PROGRAM_DIR + '\\Update.exe')
        window = s.wait_window('Pelmora Scourly Update', pid=updater)
        x, y, width, height = window.geometry()
        s.move_pointer(x + width // 2, y + height // 3)  # over the updater's file list
        time.sleep(1.5)
        # The cleaner lives on: its hover pictures still follow the pointer,
        # which now rests on the wizard where the updater leaves it free.
        add = (282 + 16 + 18, 243 + 83 + 372, 98, 22)
        self.assertGreater(add[1], y + height)
        normal = self.settled(add)
        s.move_pointer(add[0] + 49, add[1] + 11)
        self.wait_until(lambda: brightness(s.screenshot(region=add)) > normal + 5, 10, 'the hover picture')
        time.sleep(1.5)
        # So does the updater: its Close button asks the question of an
        # unfinished run, and Yes ends it.
        border = (width - 426) // 2
        window.click(border + 320 + 48, height - border - 246 + 208 + 15)
        box = self.wait_until(lambda: next(iter(self.boxes('Pelmora Update', updater)), None), 10, 'the question')
        box.focus()
        s.key('y')
        self.assertEqual(updater.wait(15), 0)
        wizard.click(699 + 13, 9)
        self.assertEqual(cleaner.wait(15), 0)


if __name__ == '__main__':
    unittest.main()
