#!/usr/bin/env python3
"""The nginx configuration that the end-to-end update cycle and the download
benchmark write (tests/e2e/nginx_server.py), read by nginx itself: the paths
in it lie wherever the checkout does, and nginx must take each one whole."""

import os
import shutil
import socket
import sys
import tempfile
import unittest
import urllib.request

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, 'tests', 'e2e'))
from nginx_server import NginxServer  # noqa: E402


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


class NginxConfigTest(unittest.TestCase):
    def setUp(self):
        self.top = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.top)

    def test_serves_and_logs_below_folders_whose_names_nginx_would_split(self):
        # Blanks and ; { } # end a word for nginx, quotes start one, and a
        # backslash escapes (\t, \n, \" ...) even inside quotes.
        for name in ['with space', 'quotes " and \'', 'back\\slash\\', 'a\\tb\\"c', 'semi; {brace} #hash']:
            with self.subTest(name=name):
                work = os.path.join(self.top, name, 'work')
                root = os.path.join(self.top, name, 'www root')
                os.makedirs(os.path.join(root, 'slow'))
                with open(os.path.join(root, 'slow', 'Update.ini'), 'wb') as f:
                    f.write(b'served')
                port = free_port()
                server = NginxServer(work, root, port)
                try:
                    url = 'http://127.0.0.1:%d/slow/Update.ini' % port
                    with urllib.request.urlopen(url, timeout=10) as answer:
                        self.assertEqual(answer.read(), b'served')
                    self.assertTrue(os.path.isfile(os.path.join(work, 'nginx', 'nginx.pid')))
                    self.assertTrue(os.path.isdir(os.path.join(work, 'nginx', 'client_body')))
                finally:
                    server.stop()
                self.assertEqual([r[2:] for r in server.requests()], [(200, '/slow/Update.ini')])

    def test_refuses_a_path_nginx_cannot_be_given(self):
        # "$" starts a variable in root and access_log, with no escape for it.
        root = os.path.join(self.top, 'www')
        os.makedirs(root)
        for name in ['cost $5', 'line\nbreak']:
            with self.subTest(name=name):
                with self.assertRaisesRegex(ValueError, 'nginx cannot be given the path'):
                    NginxServer(os.path.join(self.top, name), root, free_port())
                with self.assertRaisesRegex(ValueError, 'nginx cannot be given the path'):
                    NginxServer(os.path.join(self.top, 'work'), os.path.join(self.top, name), free_port())


if __name__ == '__main__':
    unittest.main()
