#!/usr/bin/env bash
# Renders the five wizard pages under Wine into docs/screenshots/*.png, in a
# bench machine whose drives are fixture folders (a scan of D: and E:, its
# report, the options, and a cleanup into the Recycle Bin), and takes the
# updater's window during a run from the end-to-end update cycle against nginx.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${SCOURLY_BUILD_DIR:-$root/build}
out=$root/docs/screenshots
mkdir -p "$out"
bash "$root/scripts/bench.sh" up "$build/win" >/dev/null
cd "$root/tests/e2e"
SCOURLY_BENCH=$build/win/bench /usr/bin/python3 - "$build/win/tests/win/page_shots.exe" "$out" <<'PY'
import os, subprocess, sys
import bench
exe, out = sys.argv[1], sys.argv[2]
def make(path, size):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.truncate(size)

with bench.Session('screenshots') as s:
    s.set_drive('c', s.fixture('c'))
    for letter, files in (('d', {'Temp/setup.tmp': 48000, 'Temp/~wrd0001.tmp': 9000, 'Photos/thumbs.db': 23552,
                                 'Projects/report.bak': 120000, 'Projects/app.ilk': 800000}),
                          ('e', {'Backup/old.bak': 2500000, 'Logs/install.log': 64000, 'crash.dmp': 5 << 20})):
        root = s.fixture(letter)
        for rel, size in files.items():
            make(os.path.join(root, rel), size)
        s.set_drive(letter, root)
    win_exe = s.install(exe, r'C:\Pelmora Scourly')
    folder = s.unix_path(r'C:\Pelmora Scourly')
    code = s.run(win_exe, r'C:\Pelmora Scourly', 'D:,E:', timeout=120)
    if code != 0:
        sys.exit('page_shots failed with %d' % code)
    for i in range(1, 6):
        subprocess.run(['convert', os.path.join(folder, 'page%d.bmp' % i), '-strip',
                        os.path.join(out, 'page%d.png' % i)], check=True)
print('wrote %s/page1.png .. page5.png' % out)
PY
SCOURLY_BENCH=$build/win/bench SCOURLY_WIN_BUILD=$build/win SCOURLY_SHOTS=$out \
  /usr/bin/python3 -m unittest -q test_update_cycle
echo "wrote $out/updater.png"
