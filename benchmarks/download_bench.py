#!/usr/bin/python3
"""The updater's download of a 100 MB file against a bare libcurl program
fetching the same URL, both under Wine in the same run, from nginx on the
loopback port the test build names as its update host.

Usage: download_bench.py BUILD_WIN_DIR [megabytes] [rounds]
Prints the best time of each, the ratios and both peak working sets. The
updater's time runs from its window's showing to the end of its run, the
bare program's from its start, both inside the programs."""

import os
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, 'tests', 'e2e'))
from nginx_server import NginxServer  # noqa: E402

UPDATE_PATH = 'products/system-utility/pelmora-scourly/update/'


def update_port(build):
    with open(os.path.join(build, 'CMakeCache.txt')) as f:
        host = re.search(r'^SCOURLY_UPDATE_HOST:\w+=(.*)$', f.read(), re.M).group(1)
    return int(host.rsplit(':', 1)[1]) if ':' in host else 80


def win_path(unix):
    return 'Z:' + unix.replace('/', '\\')


def run(build, *args):
    out = subprocess.run(['bash', os.path.join(ROOT, 'scripts', 'wine-run.sh'), '--bench=' + build] + list(args),
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
    m = re.search(rb'seconds ([\d.]+) peak_mb ([\d.]+)', out.stdout)
    if out.returncode != 0 or not m:
        sys.exit('%s failed (%d): %s %s' % (args[0], out.returncode, out.stdout.decode(errors='replace'),
                                            out.stderr.decode(errors='replace')[-2000:]))
    return float(m.group(1)), float(m.group(2))


def main():
    build = os.path.abspath(sys.argv[1])
    megabytes = int(sys.argv[2]) if len(sys.argv) > 2 else 100
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    work = os.path.join(build, 'benchmarks', 'download-bench')
    shutil.rmtree(work, ignore_errors=True)
    www = os.path.join(work, 'www')
    folder = os.path.join(work, 'program')
    os.makedirs(os.path.join(www, UPDATE_PATH))
    os.makedirs(folder)
    block = os.urandom(1 << 20)
    with open(os.path.join(www, UPDATE_PATH, 'big.bin'), 'wb') as f:
        for _ in range(megabytes):
            f.write(block)
    port = update_port(build)
    url = 'http://127.0.0.1:%d/%sbig.bin' % (port, UPDATE_PATH)
    with open(os.path.join(folder, 'Update.ini'), 'w') as f:
        f.write('[Version]\r\nVer=bench\r\n\r\n[HTTP]\r\nbig=%s\r\n' % url)

    server = NginxServer(work, www, port)
    try:
        updater, bare = [], []
        size = megabytes << 20
        for _ in range(rounds):
            for name in ('big.bin', 'big.BAK', 'bare.bin'):
                path = os.path.join(folder, name)
                if os.path.exists(path):
                    os.unlink(path)
            updater.append(run(build, os.path.join(build, 'benchmarks', 'download_bench.exe'),
                               win_path(folder) + '\\'))
            bare.append(run(build, os.path.join(build, 'benchmarks', 'bare_download.exe'), url,
                            win_path(os.path.join(folder, 'bare.bin'))))
            for name in ('big.bin', 'bare.bin'):
                if os.path.getsize(os.path.join(folder, name)) != size:
                    sys.exit('%s is not %d bytes' % (name, size))
    finally:
        server.stop()
    best_updater, best_bare = min(t for t, _ in updater), min(t for t, _ in bare)
    # The two run one after the other in each round; the median of the
    # rounds' ratios is the figure least moved by other load on the machine.
    ratios = sorted(u[0] / b[0] for u, b in zip(updater, bare))
    print('download of %d MB from nginx, %d rounds' % (megabytes, rounds))
    print('bare libcurl to a file   best %7.3f s  peak working set %6.1f MB' % (best_bare, max(m for _, m in bare)))
    print('updater run with events  best %7.3f s  peak working set %6.1f MB'
          % (best_updater, max(m for _, m in updater)))
    print('ratio: best to best %.2fx, median of the rounds %.2fx (rounds: %s)'
          % (best_updater / best_bare, ratios[len(ratios) // 2], ', '.join('%.2f' % r for r in ratios)))


if __name__ == '__main__':
    main()
