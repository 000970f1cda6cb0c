"""The local HTTP test server, run for one end-to-end test on the port the
test build names as its update host."""

import json
import os
import subprocess
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, '..', 'server', 'http_test_server.py')
DESCRIPTOR = '/products/system-utility/pelmora-scourly/update/Update.ini'
PORT = int(os.environ.get('SCOURLY_UPDATE_PORT', '18080'))


class UpdateServer:
    def __init__(self, workdir, routes):
        self.log = os.path.join(workdir, 'requests.log')
        port_file = os.path.join(workdir, 'server.port')
        script = os.path.join(workdir, 'server.json')
        with open(script, 'w') as f:
            json.dump({'routes': routes}, f)
        for path in (self.log, port_file):
            if os.path.exists(path):
                os.unlink(path)
        self.process = subprocess.Popen(
            ['/usr/bin/python3', SERVER, '--port', str(PORT), '--script', script, '--log', self.log,
             '--port-file', port_file], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while not (os.path.exists(port_file) and os.path.getsize(port_file)):
            if self.process.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError('the update server did not start on port %d' % PORT)
            time.sleep(0.05)

    def requests(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, 'rb') as f:
            return [line for line in f.read().split(b'\n') if line.startswith(b'GET ')]

    def stop(self):
        self.process.terminate()
        self.process.wait(10)


def descriptor(version):
    return {'status': 200, 'body': '[Version]\r\nVer=%s\r\n\r\n[HTTP]\r\nmain=http://127.0.0.1/x\r\n' % version}
