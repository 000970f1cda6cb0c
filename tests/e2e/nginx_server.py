"""A real web server for one end-to-end test: Debian's nginx serving a folder
on the loopback port the test build names as its update host, run in the
foreground with a configuration written here, and ended by the test."""

import os
import socket
import subprocess
import time

NGINX = '/usr/sbin/nginx'

CONFIG = '''daemon off;
master_process off;
worker_processes 1;
pid {work}/nginx.pid;
error_log {work}/error.log info;
events {{ worker_connections 64; }}
http {{
    types {{ application/octet-stream exe dat; text/plain ini; }}
    default_type application/octet-stream;
    client_body_temp_path {work}/client_body;
    proxy_temp_path {work}/proxy;
    fastcgi_temp_path {work}/fastcgi;
    uwsgi_temp_path {work}/uwsgi;
    scgi_temp_path {work}/scgi;
    log_format updates '$connection $connection_requests $status $request_uri';
    access_log {work}/access.log updates;
    keepalive_timeout 60s;
    server {{
        listen 127.0.0.1:{port};
        root {root};
        location ~ /slow/ {{ limit_rate {rate}; }}
    }}
}}
'''


class NginxServer:
    def __init__(self, workdir, root, port, rate='200k'):
        self.work = os.path.join(workdir, 'nginx')
        os.makedirs(self.work, exist_ok=True)
        self.config = os.path.join(self.work, 'nginx.conf')
        with open(self.config, 'w') as f:
            f.write(CONFIG.format(work=self.work, root=root, port=port, rate=rate))
        with open(os.path.join(self.work, 'stderr.log'), 'wb') as stderr:
            self.process = subprocess.Popen([NGINX, '-p', self.work, '-c', self.config],
                                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=stderr)
        deadline = time.monotonic() + 10
        while True:
            if self.process.poll() is not None:
                raise RuntimeError('nginx ended at start-up, see %s' % self.work)
            try:
                socket.create_connection(('127.0.0.1', port), timeout=1).close()
                return
            except OSError:
                if time.monotonic() > deadline:
                    self.stop()
                    raise RuntimeError('nginx did not listen on port %d' % port)
                time.sleep(0.05)

    def requests(self):
        """(connection, request number on it, status, target) per request."""
        path = os.path.join(self.work, 'access.log')
        if not os.path.exists(path):
            return []
        with open(path) as f:
            rows = [line.split() for line in f if line.strip()]
        return [(int(c), int(n), int(s), t) for c, n, s, t in rows]

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(10)
