"""The cleaner's start-up update check against the local update server."""

import os
import stat
import time
import unittest

from cleaner_session import CleanerTestCase, PRODUCT_KEY
from update_server import DESCRIPTOR, UpdateServer, descriptor

QUESTION = 'Pelmora Scourly'


class UpdateCheck(CleanerTestCase):
    def serve(self, version):
        server = UpdateServer(self.session.logs, {DESCRIPTOR: descriptor(version)})
        self.addCleanup(server.stop)
        return server

    def check_on(self, installed=None):
        values = {'CheckUpdate': '1'}
        if installed:
            values['Version'] = installed
        self.session.reg_set_values(PRODUCT_KEY, values)

    def close_wizard(self, prog, win):
        win.click(699 + 13, 9)
        self.assertEqual(prog.wait(15), 0)

    def test_check_off_makes_no_request(self):
        server = self.serve('2010.1.3')
        self.session.reg_set(PRODUCT_KEY, 'CheckUpdate', '0')
        prog = self.start_cleaner()
        self.close_wizard(prog, self.wait_wizard(prog))
        self.assertEqual(server.requests(), [])
        self.assertFalse(os.path.exists(self.program_file('Update.ini')))

    def test_no_question_when_the_offered_version_is_not_newer(self):
        for offered, installed in (('2010.1.3', '2010.1.3'), ('2010.1.10', None)):
            with self.subTest(offered=offered, installed=installed):
                server = self.serve(offered)
                self.check_on(installed)
                prog = self.start_cleaner()
                win = self.wait_wizard(prog)
                self.assertEqual(len(server.requests()), 1)
                self.assertEqual(self.boxes(QUESTION), [])
                self.close_wizard(prog, win)
                server.stop()

    def test_server_down_start_up_goes_on_without_a_message(self):
        self.check_on()
        t = time.monotonic()
        prog = self.start_cleaner()
        self.wait_wizard(prog, timeout=20)
        self.assertLess(time.monotonic() - t, 15)
        self.assertEqual(self.boxes(QUESTION), [])

    def test_newer_version_yes_starts_the_updater_and_the_cleaner_ends(self):
        s = self.session
        self.serve('2010.1.3')
        self.check_on()
        prog = self.start_cleaner()
        box = s.wait_window(QUESTION, pid=prog)
        s.screenshot('question.png')
        box.focus()
        s.key('y')
        self.assertEqual(prog.wait(20), 0)
        s.wait_window('Pelmora Scourly Update', timeout=20)
        with open(self.program_file('Update.ini'), 'rb') as f:
            self.assertIn(b'Ver=2010.1.3', f.read())

    def test_newer_version_no_opens_the_wizard(self):
        s = self.session
        self.serve('2010.1.3')
        self.check_on()
        prog = self.start_cleaner()
        box = s.wait_window(QUESTION, pid=prog)
        box.focus()
        s.key('n')
        win = self.wait_wizard(prog)
        self.assertEqual(s.windows('Pelmora Scourly Update'), [])
        self.close_wizard(prog, win)

    def test_endless_descriptor_is_cut_at_64_kb_and_start_up_goes_on(self):
        # Every line offers a newer version, yet the failed download offers none.
        server = UpdateServer(self.session.logs, {DESCRIPTOR: {
            'send': ['HTTP/1.1 200 OK\r\n\r\n', {'repeat': '[Version]\r\nVer=2010.1.3\r\n'}],
            'after': 'close'}})
        self.addCleanup(server.stop)
        self.check_on()
        prog = self.start_cleaner()
        win = self.wait_wizard(prog)
        self.assertEqual(self.boxes(QUESTION), [])
        with open(self.program_file('Update.ini'), 'rb') as f:
            self.assertEqual(len(f.read()), 65536)
        self.close_wizard(prog, win)

    def test_trickling_descriptor_is_given_up_after_30_seconds(self):
        # One byte every 3 s never meets the 5 s wait for data: only the
        # limit on the whole download ends it.
        body = '[Version]\r\nVer=2010.1.3\r\n'
        send = ['HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n' % len(body)]
        for c in body:
            send += [{'sleep': 3}, c]
        server = UpdateServer(self.session.logs, {DESCRIPTOR: {'send': send}})
        self.addCleanup(server.stop)
        self.check_on()
        with open(self.program_file('Update.ini'), 'wb') as f:
            f.write(b'[Version]\r\nVer=1\r\n; an older, longer descriptor\r\n')
        t = time.monotonic()
        prog = self.start_cleaner()
        win = self.wait_wizard(prog, timeout=60)
        self.assertGreaterEqual(time.monotonic() - t, 30)
        self.assertLess(time.monotonic() - t, 45)
        self.assertEqual(self.boxes(QUESTION), [])
        # As after any failure in the body: what arrived, and nothing else.
        with open(self.program_file('Update.ini'), 'rb') as f:
            kept = f.read()
        self.assertTrue(5 <= len(kept) <= 11, kept)
        self.assertEqual(kept, body.encode()[:len(kept)])
        self.close_wizard(prog, win)

    def test_read_only_descriptor_is_reported_then_the_wizard_opens(self):
        s = self.session
        self.serve('2010.1.3')
        self.check_on()
        path = self.program_file('Update.ini')
        with open(path, 'wb') as f:
            f.write(b'[Version]\r\nVer=1\r\n')
        os.chmod(path, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        prog = self.start_cleaner()
        box = s.wait_window(QUESTION, pid=prog)
        s.screenshot('read-only-descriptor.png')
        box.focus()
        s.key('Return')
        win = self.wait_wizard(prog)
        with open(path, 'rb') as f:
            self.assertEqual(f.read(), b'[Version]\r\nVer=1\r\n')
        self.close_wizard(prog, win)


if __name__ == '__main__':
    unittest.main()
