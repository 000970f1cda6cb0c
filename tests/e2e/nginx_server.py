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
pid {pid};
error_log {error_log} info;
events {{ worker_connections 64; }}
http {{
    types {{ application/octet-stream exe dat; text/plain ini; }}
    default_type application/octet-stream;
    client_body_temp_path {client_body};
    proxy_temp_path {proxy};
    fastcgi_temp_path {fastcgi};
    uwsgi_temp_path {uwsgi};
    scgi_temp_path {scgi};
    log_format updates '$connection $connection_requests $status $request_uri';
    access_log {access_log} updates;
    keepalive_timeout 60s;
    server {{
        listen 127.0.0.1:{port};
        root {root};
        location ~ /slow/ {{ limit_rate {rate}; }}
    }}
}}
'''


def quoted(path):
    """A path as one word of nginx's configuration: in double quotes, with
    the backslashes and double quotes in it escaped. nginx reads "$" as the
    start of a variable in root and access_log, with no escape for it, and a
    line break would be kept in the word, so such a path is refused."""
    if '$' in path or any(ord(c) < 0x20 or c == '\x7f' for c in path):
        raise ValueError('nginx cannot be given the path %r' % path)
    return '"%s"' % path.replace('\\', '\\\\').replace('"', '\\"')


class NginxServer:
    def __init__(self, workdir, root, port, rate='200k'):
        self.work = os.path.join(workdir, 'nginx')

        def inside(name):
            return quoted(os.path.join(self.work, name))
        text = CONFIG.format(pid=inside('nginx.pid'), error_log=inside('error.log'), access_log=inside('access.log'),
                             client_body=inside('client_body'), proxy=inside('proxy'), fastcgi=inside('fastcgi'),
                             uwsgi=inside('uwsgi'), scgi=inside('scgi'), root=quoted(root), port=port, rate=rate)
        os.makedirs(self.work, exist_ok=True)
        self.config = os.path.join(self.work, 'nginx.conf')
        with open(self.config, 'w') as f:
            f.write(text)
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
