"""Wine harness for the end-to-end tests of Scourly.exe and Update.exe (stdlib only).

Each Session is one isolated Windows machine: a clone of the bench's e2e template
prefix, its own HOME (so its own Trash), its own Xvfb, and drive letters the test
chooses. Z: (the whole Linux root) is removed, so a program can only reach the
folders the test maps. Everything waits with a time-out; close() ends every Wine
process of the session and its X server.

    class CleanerTest(bench.BenchTestCase):
        def test_start(self):
            s = self.session
            s.set_drive('d', s.fixture('cd'), kind='cdrom')   # a Linux folder under the session
            exe = s.install(bench.find_built('Scourly.exe'), r'C:\\Program Files\\Scourly')
            prog = s.start(exe)
            win = s.wait_window('Frm_Main', pid=prog)
            win.click(20, 30)                                 # relative to the window
            code = prog.wait(10)
"""

import collections
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import time
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPTS = os.path.normpath(os.path.join(HERE, '..', '..', 'scripts'))

DLL_OVERRIDES = 'mscoree,mshtml=;winemenubuilder.exe=d'
SCREEN = '1280x1024x24'
FIRST_DISPLAY, LAST_DISPLAY = 91, 190

# Values Wine accepts in HKLM\Software\Wine\Drives; 'hd' is what a letter without a value is.
DRIVE_KINDS = ('hd', 'cdrom', 'network', 'floppy')

# Files of the template that Wine only maps or reads are hard-linked into a clone;
# everything else (registry, .ini, profile) is copied, so nothing a test does reaches the template.
_LINKED_SUFFIXES = {'.dll', '.exe', '.nls', '.sys', '.drv', '.vxd', '.ocx', '.cpl', '.acm',
                    '.tlb', '.ds', '.msstyles', '.com', '.ax', '.mod', '.icm'}

_XDG_DIRS = {'DESKTOP': 'Desktop', 'DOCUMENTS': 'Documents', 'DOWNLOAD': 'Downloads',
             'MUSIC': 'Music', 'PICTURES': 'Pictures', 'VIDEOS': 'Videos',
             'TEMPLATES': 'Templates', 'PUBLICSHARE': 'Public'}

_HIVES = {'HKLM': 'HKEY_LOCAL_MACHINE', 'HKCU': 'HKEY_CURRENT_USER', 'HKCR': 'HKEY_CLASSES_ROOT',
          'HKU': 'HKEY_USERS', 'HKCC': 'HKEY_CURRENT_CONFIG'}

_BUTTONS = {'left': '1', 'middle': '2', 'right': '3'}

Rect = collections.namedtuple('Rect', 'x y width height')


class BenchError(Exception):
    """The bench could not do what was asked (includes every time-out)."""


# --------------------------------------------------------------------------- locating

def find_bench(hint=None):
    """The bench folder: HINT (a build dir or a bench dir), SCOURLY_BENCH,
    SCOURLY_BUILD_DIR/win/bench (the Windows tree of the scripts' build folder), or
    <nearest dir above the cwd with a CMakeCache.txt>/bench."""
    if hint:
        hint = os.path.abspath(hint)
        return hint if os.path.basename(hint) == 'bench' else os.path.join(hint, 'bench')
    if os.environ.get('SCOURLY_BENCH'):
        return os.path.abspath(os.environ['SCOURLY_BENCH'])
    if os.environ.get('SCOURLY_BUILD_DIR'):
        return os.path.join(os.path.abspath(os.environ['SCOURLY_BUILD_DIR']), 'win', 'bench')
    d = os.getcwd()
    while True:
        if os.path.isfile(os.path.join(d, 'CMakeCache.txt')):
            return os.path.join(d, 'bench')
        parent = os.path.dirname(d)
        if parent == d:
            raise BenchError('no build dir: set SCOURLY_BENCH or SCOURLY_BUILD_DIR')
        d = parent


def wine_tools(bench):
    """{WINEARCH, WINELOADER, WINESERVER} of the build around BENCH, as CMake
    wrote them into <build>/wine.env: the loader and server are named, since
    /usr/bin/wine takes the 32-bit loader whenever it is installed."""
    path = os.path.join(os.path.dirname(bench), 'wine.env')
    try:
        with open(path) as f:
            pairs = dict(line.rstrip('\n').split('=', 1) for line in f if '=' in line)
    except OSError:
        raise BenchError('no %s: configure the Windows build first' % path) from None
    return {k: pairs[k] for k in ('WINEARCH', 'WINELOADER', 'WINESERVER')}


def find_built(name, bench=None):
    """Path of a built file (e.g. 'Scourly.exe'): SCOURLY_EXE_DIR/name, else the first
    match in the build tree that holds the bench, not looking inside the bench."""
    exe_dir = os.environ.get('SCOURLY_EXE_DIR')
    if exe_dir and os.path.isfile(os.path.join(exe_dir, name)):
        return os.path.join(exe_dir, name)
    bench_dir = find_bench(bench)
    for root, dirs, files in os.walk(os.path.dirname(bench_dir)):
        dirs[:] = sorted(d for d in dirs if os.path.join(root, d) != bench_dir and d != 'CMakeFiles')
        if name in files:
            return os.path.join(root, name)
    raise BenchError('%s is not built under %s' % (name, os.path.dirname(bench_dir)))


# --------------------------------------------------------------------------- images

class Image:
    """An 8-bit RGB picture: from a screenshot, or loaded from a PNG."""

    def __init__(self, width, height, rgb):
        if len(rgb) != width * height * 3:
            raise ValueError('pixel data does not match %dx%d' % (width, height))
        self.width, self.height, self.rgb = width, height, bytes(rgb)

    def pixel(self, x, y):
        """(r, g, b) at x, y."""
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError('pixel %d,%d outside %dx%d' % (x, y, self.width, self.height))
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def crop(self, x, y, width, height):
        """The part inside the picture of the rectangle x, y, width, height."""
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + width), min(self.height, y + height)
        if x1 <= x0 or y1 <= y0:
            raise ValueError('crop %d,%d %dx%d is outside the picture' % (x, y, width, height))
        stride = self.width * 3
        rows = [self.rgb[r * stride + x0 * 3:r * stride + x1 * 3] for r in range(y0, y1)]
        return Image(x1 - x0, y1 - y0, b''.join(rows))

    def count(self, colour):
        """How many pixels have exactly this (r, g, b)."""
        px = bytes(colour)
        return sum(1 for i in range(0, len(self.rgb), 3) if self.rgb[i:i + 3] == px)

    def save(self, path):
        """Writes a PNG (RGB, 8 bits)."""
        stride = self.width * 3
        raw = b''.join(b'\0' + self.rgb[r * stride:(r + 1) * stride] for r in range(self.height))

        def chunk(kind, data):
            return (struct.pack('>I', len(data)) + kind + data
                    + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))

        with open(path, 'wb') as f:
            f.write(b'\x89PNG\r\n\x1a\n'
                    + chunk(b'IHDR', struct.pack('>IIBBBBB', self.width, self.height, 8, 2, 0, 0, 0))
                    + chunk(b'IDAT', zlib.compress(raw, 6)) + chunk(b'IEND', b''))
        return path

    @classmethod
    def from_ppm(cls, data):
        m = re.match(rb'P6\s+(\d+)\s+(\d+)\s+(\d+)\s', data)
        if not m or m.group(3) != b'255':
            raise BenchError('not an 8-bit PPM picture')
        w, h = int(m.group(1)), int(m.group(2))
        return cls(w, h, data[m.end():m.end() + w * h * 3])

    @classmethod
    def load(cls, path):
        """Reads a non-interlaced 8-bit PNG (grey, RGB, palette, with or without alpha;
        alpha is dropped)."""
        with open(path, 'rb') as f:
            data = f.read()
        if data[:8] != b'\x89PNG\r\n\x1a\n':
            raise BenchError('%s is not a PNG' % path)
        pos, idat, palette = 8, [], None
        while pos < len(data):
            length, kind = struct.unpack('>I4s', data[pos:pos + 8])
            body = data[pos + 8:pos + 8 + length]
            pos += 12 + length
            if kind == b'IHDR':
                w, h, depth, ctype, _, _, interlace = struct.unpack('>IIBBBBB', body)
            elif kind == b'PLTE':
                palette = body
            elif kind == b'IDAT':
                idat.append(body)
            elif kind == b'IEND':
                break
        if depth != 8 or interlace or ctype not in (0, 2, 3, 4, 6):
            raise BenchError('%s: only 8-bit non-interlaced PNGs are read' % path)
        bpp = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[ctype]
        raw = zlib.decompress(b''.join(idat))
        stride = w * bpp
        prev = bytearray(stride)
        out = bytearray()
        for r in range(h):
            ftype = raw[r * (stride + 1)]
            line = bytearray(raw[r * (stride + 1) + 1:(r + 1) * (stride + 1)])
            for i in range(stride if ftype else 0):
                a = line[i - bpp] if i >= bpp else 0
                b = prev[i]
                c = prev[i - bpp] if i >= bpp else 0
                if ftype == 1:
                    line[i] = (line[i] + a) & 0xff
                elif ftype == 2:
                    line[i] = (line[i] + b) & 0xff
                elif ftype == 3:
                    line[i] = (line[i] + ((a + b) >> 1)) & 0xff
                elif ftype == 4:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                    line[i] = (line[i] + pred) & 0xff
            prev = line
            if ctype == 2:
                out += line
                continue
            for i in range(0, stride, bpp):
                if ctype == 6:
                    out += line[i:i + 3]
                elif ctype == 3:
                    out += palette[line[i] * 3:line[i] * 3 + 3]
                else:
                    out += bytes((line[i],)) * 3
        return cls(w, h, bytes(out))


# --------------------------------------------------------------------------- registry text

def _full_key(key):
    hive, _, rest = key.strip('\\').partition('\\')
    hive = _HIVES.get(hive.upper(), hive.upper())
    if hive not in _HIVES.values():
        raise ValueError('unknown registry hive in %r' % key)
    return hive + ('\\' + rest if rest else '')


def _reg_escape(s):
    return s.replace('\\', '\\\\').replace('"', '\\"')


def _reg_unescape(s):
    out, i = [], 0
    while i < len(s):
        if s[i] == '\\' and i + 1 < len(s):
            out.append({'n': '\n', 'r': '\r', '0': '\0'}.get(s[i + 1], s[i + 1]))
            i += 2
        else:
            out.append(s[i])
            i += 1
    return ''.join(out)


def _hex_bytes(text):
    text = text.replace('\\', '').replace(' ', '').replace('\t', '').strip(',')
    return bytes(int(b, 16) for b in text.split(',') if b)


def _reg_value_text(value, kind):
    """The right-hand side of a .reg value line."""
    if kind == 'REG_SZ':
        return '"%s"' % _reg_escape(str(value))
    if kind == 'REG_DWORD':
        return 'dword:%08x' % (int(value) & 0xffffffff)
    if kind == 'REG_QWORD':
        data = struct.pack('<Q', int(value) & 0xffffffffffffffff)
        return 'hex(b):' + ','.join('%02x' % b for b in data)
    if kind == 'REG_EXPAND_SZ':
        data = (str(value) + '\0').encode('utf-16-le')
        return 'hex(2):' + ','.join('%02x' % b for b in data)
    if kind == 'REG_MULTI_SZ':
        data = ''.join(s + '\0' for s in value).encode('utf-16-le') + b'\0\0'
        return 'hex(7):' + ','.join('%02x' % b for b in data)
    if kind == 'REG_BINARY':
        return 'hex:' + ','.join('%02x' % b for b in bytes(value))
    raise ValueError('unsupported registry type %s' % kind)


def _decode_reg_value(text):
    """(type name, python value) of the right-hand side of an exported value."""
    if text.startswith('"'):
        return 'REG_SZ', _reg_unescape(text[1:-1])
    if text.startswith('dword:'):
        return 'REG_DWORD', int(text[6:], 16)
    m = re.match(r'hex(?:\(([0-9a-fA-F]+)\))?:(.*)$', text, re.S)
    if not m:
        raise BenchError('cannot read registry value %r' % text)
    code = int(m.group(1), 16) if m.group(1) else 3
    data = _hex_bytes(m.group(2))
    if code == 2:
        return 'REG_EXPAND_SZ', data.decode('utf-16-le').split('\0')[0]
    if code == 7:
        items = data.decode('utf-16-le').split('\0')
        while items and items[-1] == '':
            items.pop()
        return 'REG_MULTI_SZ', items
    if code == 0xb:
        return 'REG_QWORD', int.from_bytes(data[:8], 'little')
    if code == 4:
        return 'REG_DWORD', int.from_bytes(data[:4], 'little')
    return {3: 'REG_BINARY', 0: 'REG_NONE'}.get(code, 'REG_%d' % code), data


def parse_reg_export(text, key):
    """{value name: (type, value)} of KEY in the text of a 'reg export' file;
    the default value's name is ''. None when the key is not in the text."""
    want = _full_key(key).lower()
    values, current = None, None
    lines = text.replace('\r\n', '\n').split('\n')
    i = 0
    while i < len(lines):
        line = lines[i]
        while line.endswith('\\') and i + 1 < len(lines) and '=hex' in line:
            i += 1
            line = line[:-1] + lines[i].strip()
        i += 1
        if line.startswith('['):
            current = line[1:line.rindex(']')].lower()
            if current == want:
                values = {}
            continue
        if current != want or not line or line.startswith(';'):
            continue
        if line.startswith('@='):
            name, rhs = '', line[2:]
        else:
            m = re.match(r'"((?:[^"\\]|\\.)*)"=(.*)$', line, re.S)
            if not m:
                continue
            name, rhs = _reg_unescape(m.group(1)), m.group(2)
        values[name] = _decode_reg_value(rhs)
    return values


# --------------------------------------------------------------------------- processes

def _is_xvfb(pid):
    try:
        with open('/proc/%d/cmdline' % pid, 'rb') as f:
            return f.read().split(b'\0')[0] == b'Xvfb'
    except OSError:
        return False


def _wait_for(condition, timeout, what, interval=0.05):
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise BenchError('timed out after %.1f s waiting for %s' % (timeout, what))
        time.sleep(interval)


class Program:
    """A Windows program started by Session.start()."""

    def __init__(self, popen, exe, log):
        self.popen, self.exe, self.log = popen, exe, log

    @property
    def pid(self):
        return self.popen.pid

    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout=30):
        """The exit code (its low 8 bits, as Wine passes it on; negative when a
        signal ended it)."""
        try:
            return self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise BenchError('%s still runs after %.1f s' % (self.exe, timeout)) from None

    def kill(self):
        if self.running():
            self.popen.kill()
            try:
                self.popen.wait(5)
            except subprocess.TimeoutExpired:
                pass

    def output(self):
        """What the program wrote to stdout and stderr."""
        with open(self.log, 'rb') as f:
            return f.read().decode('utf-8', 'replace')


class Window:
    """A visible top-level X window of a Wine program. Positions are relative to its
    top-left corner (without a window manager, the Win32 window rectangle)."""

    def __init__(self, session, wid):
        self.session, self.id = session, wid

    def __repr__(self):
        return '<Window %s %r>' % (self.id, self.title)

    @property
    def title(self):
        return self.session._xdo('getwindowname', self.id).rstrip('\n')

    def exists(self):
        return self.id in self.session._xdo('search', '--onlyvisible', '--name', '^', check=False).split()

    def geometry(self):
        out = self.session._xdo('getwindowgeometry', '--shell', self.id)
        v = dict(line.split('=', 1) for line in out.split())
        return Rect(int(v['X']), int(v['Y']), int(v['WIDTH']), int(v['HEIGHT']))

    def _abs(self, x, y):
        g = self.geometry()
        return g.x + x, g.y + y

    def move_pointer(self, x, y):
        self.session.move_pointer(*self._abs(x, y))

    def click(self, x, y, button='left', count=1):
        self.session.click(*self._abs(x, y), button=button, count=count)

    def right_click(self, x, y):
        self.click(x, y, button='right')

    def double_click(self, x, y):
        self.click(x, y, count=2)

    def drag(self, x0, y0, x1, y1, button='left', steps=10):
        g = self.geometry()
        self.session.drag(g.x + x0, g.y + y0, g.x + x1, g.y + y1, button=button, steps=steps)

    def focus(self):
        """Gives the window the keyboard (there is no window manager to do it)."""
        self.session._xdo('windowfocus', '--sync', self.id)

    def screenshot(self, path=None):
        """The window's part of the screen; saved as PNG when PATH is given."""
        return self.session.screenshot(path, region=self.geometry())

    def wait_closed(self, timeout=10):
        _wait_for(lambda: not self.exists(), timeout, 'window %s to close' % self.id)


# --------------------------------------------------------------------------- session

class Session:
    """One Windows machine for one test. NAME names its folder bench/e2e/NAME, which
    is made anew (a crashed earlier run's processes are ended first) and kept after
    close() for post-mortems: logs/, screenshots, the prefix, fixtures/."""

    def __init__(self, name, bench=None, display=None, timeout=60):
        self.timeout = timeout
        self.bench = find_bench(bench)
        self.wine = wine_tools(self.bench)
        self.root = os.path.join(self.bench, 'e2e', re.sub(r'[^A-Za-z0-9_.-]+', '_', name))
        self.prefix = os.path.join(self.root, 'prefix')
        self.home = os.path.join(self.root, 'home')
        self.fixtures = os.path.join(self.root, 'fixtures')
        self.logs = os.path.join(self.root, 'logs')
        self._t0 = time.monotonic()
        self._xvfb = None
        self._programs = []
        self._booted = False
        self._applied_kinds = {}
        self._end_leftovers()
        shutil.rmtree(self.root, ignore_errors=True)
        for d in (self.fixtures, self.logs):
            os.makedirs(d)
        self._ensure_template()
        template = os.path.join(self.bench, 'e2e-template')
        _init_home(self.home)
        self._clone(template, os.path.join(self.bench, 'e2e-home'))
        self._drives = {'c': os.path.join(self.prefix, 'drive_c')}
        self._kinds = {}
        dosdevices = os.path.join(self.prefix, 'dosdevices')
        for entry in os.listdir(dosdevices):
            if re.fullmatch(r'[a-z]:', entry) and entry != 'c:':
                os.unlink(os.path.join(dosdevices, entry))
        self.display = display or self._start_xvfb()
        self.env = self._make_env()
        self._note('session ready (prefix clone, home, X server %s)' % self.display)

    # ---- set-up

    def _note(self, text):
        with open(os.path.join(self.logs, 'session.log'), 'a') as f:
            f.write('%8.3f  %s\n' % (time.monotonic() - self._t0, text))

    def _end_leftovers(self):
        """A test killed by a time-out leaves its X server and wineserver behind."""
        pid_file = os.path.join(self.root, 'xvfb.pid')
        if os.path.isdir(os.path.join(self.prefix, 'dosdevices')):
            env = dict(os.environ, WINEPREFIX=self.prefix, **self.wine)
            subprocess.run([self.wine['WINESERVER'], '-k'], env=env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=15)
        try:
            pid = int(open(pid_file).read())
            if _is_xvfb(pid):
                os.kill(pid, signal.SIGTERM)
        except (OSError, ValueError):
            pass

    def _ensure_template(self):
        # bench.sh knows whether the template is current; when it is, this costs ~20 ms.
        r = subprocess.run([os.path.join(SCRIPTS, 'bench.sh'), 'template', self.bench],
                           stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, timeout=400)
        if r.returncode != 0:
            raise BenchError('e2e template could not be made:\n' + r.stdout.decode(errors='replace'))

    def _clone(self, template, template_home):
        for root, dirs, files in os.walk(template):
            rel = os.path.relpath(root, template)
            dest = os.path.normpath(os.path.join(self.prefix, rel))
            os.makedirs(dest, exist_ok=True)
            for name in dirs + files:
                src, dst = os.path.join(root, name), os.path.join(dest, name)
                if os.path.islink(src):
                    target = os.readlink(src)
                    if target == template_home or target.startswith(template_home + '/'):
                        target = self.home + target[len(template_home):]
                    os.symlink(target, dst)
                elif name in files:
                    in_windows = rel.split(os.sep)[:2] == ['drive_c', 'windows']
                    if in_windows and os.path.splitext(name)[1].lower() in _LINKED_SUFFIXES:
                        os.link(src, dst)
                    else:
                        shutil.copy2(src, dst)
            # os.walk does not enter linked folders; they were made as links above.
            dirs[:] = [d for d in dirs if not os.path.islink(os.path.join(root, d))]

    def _start_xvfb(self):
        log = open(os.path.join(self.logs, 'xvfb.log'), 'ab')
        try:
            for n in range(FIRST_DISPLAY, LAST_DISPLAY + 1):
                if os.path.exists('/tmp/.X%d-lock' % n) or os.path.exists('/tmp/.X11-unix/X%d' % n):
                    continue
                # -displayfd: only our own server, once it listens, writes to the pipe; a
                # socket file may belong to another starter that won the same number.
                r, w = os.pipe()
                p = subprocess.Popen(['Xvfb', ':%d' % n, '-screen', '0', SCREEN, '-nolisten', 'tcp',
                                      '-ac', '-noreset', '-displayfd', str(w)], pass_fds=(w,),
                                     stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                     start_new_session=True)
                os.close(w)
                answer, deadline = b'', time.monotonic() + 10
                # The number and the newline come in two writes; closing early kills the server.
                while not answer.endswith(b'\n'):
                    ready, _, _ = select.select([r], [], [], max(0, deadline - time.monotonic()))
                    chunk = os.read(r, 16) if ready else b''
                    if not chunk:
                        break
                    answer += chunk
                os.close(r)
                if answer.strip() == str(n).encode() and p.poll() is None:
                    self._xvfb = p
                    with open(os.path.join(self.root, 'xvfb.pid'), 'w') as f:
                        f.write(str(p.pid))
                    return ':%d' % n
                if p.poll() is None:  # never came up
                    p.kill()
                p.wait(5)
        finally:
            log.close()
        raise BenchError('no X server could be started (see %s)' % self.logs)

    def _make_env(self):
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(('WINE', 'XDG_', 'LC_')) and k not in ('WAYLAND_DISPLAY', 'DISPLAY')}
        env.update(self.wine)
        env.update(WINEPREFIX=self.prefix, WINEDEBUG='-all',
                   WINEDLLOVERRIDES=DLL_OVERRIDES, HOME=self.home, DISPLAY=self.display,
                   XDG_DATA_HOME=os.path.join(self.home, '.local', 'share'),
                   XDG_CONFIG_HOME=os.path.join(self.home, '.config'),
                   XDG_CACHE_HOME=os.path.join(self.home, '.cache'), LANG='C.UTF-8')
        return env

    # ---- drives

    @property
    def drives(self):
        """{letter: Linux folder} of every drive the session has."""
        return dict(self._drives)

    @property
    def trash(self):
        """Wine's Trash (the Recycle Bin): files/ and info/ below it."""
        return os.path.join(self.home, '.local', 'share', 'Trash')

    def fixture(self, *parts):
        """A folder below fixtures/ (made if missing), to map as a drive or fill."""
        path = os.path.join(self.fixtures, *parts)
        os.makedirs(path, exist_ok=True)
        return path

    def set_drive(self, letter, path, kind='hd'):
        """Maps LETTER: to the Linux folder PATH, as a fixed ('hd'), 'cdrom', 'network'
        or 'floppy' drive. A C: moved away from the prefix's drive_c gets a link
        'windows' to the real Windows folder, which Wine needs to run at all (it shows
        as a reparse point there). Takes effect at the next Wine process; when
        programs run already, they are ended first, since Wine reads drives when its
        server starts."""
        letter = self._letter(letter)
        if kind not in DRIVE_KINDS:
            raise ValueError('drive kind must be one of %s' % (DRIVE_KINDS,))
        path = os.path.abspath(path)
        os.makedirs(path, exist_ok=True)
        if letter == 'c':
            windows = os.path.join(path, 'windows')
            real = os.path.join(self.prefix, 'drive_c', 'windows')
            if not os.path.lexists(windows) and os.path.realpath(path) != os.path.join(self.prefix, 'drive_c'):
                os.symlink(real, windows)
        link = os.path.join(self.prefix, 'dosdevices', letter + ':')
        if os.path.lexists(link):
            os.unlink(link)
        os.symlink(path, link)
        self._drives[letter] = path
        if kind == 'hd':
            self._kinds.pop(letter, None)
        else:
            self._kinds[letter] = kind

    def remove_drive(self, letter):
        letter = self._letter(letter)
        if letter == 'c':
            raise ValueError('Wine cannot run without C:')
        link = os.path.join(self.prefix, 'dosdevices', letter + ':')
        if os.path.lexists(link):
            os.unlink(link)
        self._drives.pop(letter, None)
        self._kinds.pop(letter, None)

    @staticmethod
    def _letter(letter):
        letter = letter.rstrip(':\\').lower()
        if not re.fullmatch(r'[a-z]', letter):
            raise ValueError('not a drive letter: %r' % letter)
        return letter

    def unix_path(self, win_path):
        """The Linux path of a Windows path on one of the session's drives."""
        m = re.match(r'([A-Za-z]):[\\/]?(.*)$', win_path, re.S)
        if not m or m.group(1).lower() not in self._drives:
            raise BenchError('%r is not on a drive of this session' % win_path)
        rest = [p for p in re.split(r'[\\/]', m.group(2)) if p]
        return os.path.join(self._drives[m.group(1).lower()], *rest)

    def win_path(self, unix_path):
        """The Windows path of a Linux path inside one of the session's drives."""
        real = os.path.realpath(unix_path)
        best = None
        for letter, root in self._drives.items():
            r = os.path.realpath(root)
            if real == r or real.startswith(r + '/'):
                if best is None or len(r) > len(best[1]):
                    best = (letter, r)
        if best is None:
            raise BenchError('%s is on no drive of this session' % unix_path)
        rel = os.path.relpath(real, best[1])
        return best[0].upper() + ':\\' + ('' if rel == '.' else rel.replace('/', '\\'))

    def install(self, files, win_dir):
        """Copies FILES (a path or a list) into the Windows folder WIN_DIR, made if
        missing; returns the Windows path of the first file."""
        files = [files] if isinstance(files, str) else list(files)
        dest = self.unix_path(win_dir)
        os.makedirs(dest, exist_ok=True)
        for f in files:
            shutil.copy2(f, dest)
        return win_dir.rstrip('\\') + '\\' + os.path.basename(files[0])

    def _write_drive_kinds(self):
        """Sets HKLM\\Software\\Wine\\Drives in system.reg while no server runs: cheaper
        than 'wine reg' plus the server restart it would need."""
        path = os.path.join(self.prefix, 'system.reg')
        with open(path, encoding='utf-8', errors='surrogateescape') as f:
            text = f.read()
        text = re.sub(r'\n\[Software\\\\Wine\\\\Drives\] \d+\n(?:[^\[\n][^\n]*\n|\n(?!\[))*', '\n', text)
        if self._kinds:
            now = time.time()
            filetime = int(now * 10 ** 7) + 116444736000000000
            section = '\n[Software\\\\Wine\\\\Drives] %d\n#time=%x\n' % (int(now), filetime)
            section += ''.join('"%s:"="%s"\n' % (l, k) for l, k in sorted(self._kinds.items()))
            text = text.rstrip('\n') + '\n' + section
        with open(path + '.tmp', 'w', encoding='utf-8', errors='surrogateescape') as f:
            f.write(text)
        os.replace(path + '.tmp', path)
        self._applied_kinds = dict(self._kinds)

    # ---- processes

    def _boot(self):
        if self._booted and self._applied_kinds == self._kinds:
            return
        if self._booted:
            self.kill()
        t = time.monotonic()
        self._write_drive_kinds()
        log = open(os.path.join(self.logs, 'wine-boot.log'), 'ab')
        try:
            # Persistent, so a program started after another one exited finds the server,
            # services and desktop still up.
            subprocess.run([self.wine['WINESERVER'], '-p'], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=log, stderr=log, timeout=30, check=True)
            # The first window starts explorer.exe (the desktop); done here, the first
            # program's window comes up as fast as later ones.
            r = subprocess.run([self.wine['WINELOADER'], 'rundll32.exe', 'user32.dll,GetDesktopWindow'], env=self.env,
                               cwd=self.unix_path('C:\\windows'), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                               timeout=self.timeout)
        except subprocess.TimeoutExpired:
            raise BenchError('Wine did not start within %s s' % self.timeout) from None
        finally:
            log.close()
        if r.returncode != 0:
            raise BenchError('Wine did not start (see %s)' % self.logs)
        self._booted = True
        self._note('wine up in %.2f s, drive kinds %s' % (time.monotonic() - t, self._kinds))

    def start(self, exe, *args, cwd=None):
        """Starts EXE (a Windows path, or a Linux path inside a drive) in the
        background. CWD (Windows path) defaults to the program's folder."""
        self._boot()
        win_exe = exe if re.match(r'[A-Za-z]:', exe) else self.win_path(exe)
        cwd = cwd or win_exe.rsplit('\\', 1)[0] + '\\'
        n = len(self._programs) + 1
        log = os.path.join(self.logs, '%02d-%s.log' % (n, re.sub(r'\W+', '_', win_exe.rsplit('\\', 1)[-1])))
        with open(log, 'wb') as out:
            p = subprocess.Popen([self.wine['WINELOADER'], win_exe] + [str(a) for a in args], env=self.env,
                                 cwd=self.unix_path(cwd), stdin=subprocess.DEVNULL, stdout=out,
                                 stderr=subprocess.STDOUT, start_new_session=True)
        prog = Program(p, win_exe, log)
        self._programs.append(prog)
        self._note('started %s %s (pid %d)' % (win_exe, list(args), p.pid))
        return prog

    def run(self, exe, *args, cwd=None, timeout=None):
        """Runs EXE to its end; returns its exit code."""
        return self.start(exe, *args, cwd=cwd).wait(timeout or self.timeout)

    def _wine(self, *args, timeout=None):
        """A Wine tool (reg, cmd...) run to its end, in C:\\windows."""
        self._boot()
        try:
            return subprocess.run([self.wine['WINELOADER']] + list(args), env=self.env,
                                  cwd=self.unix_path('C:\\windows'), stdin=subprocess.DEVNULL,
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                  timeout=timeout or self.timeout)
        except subprocess.TimeoutExpired:
            raise BenchError('wine %s did not end within %s s' % (' '.join(args), timeout or self.timeout)) from None

    def kill(self):
        """Ends every Wine process of the session (wineserver -k); the server and the
        desktop start again with the next program."""
        for cmd in ([self.wine['WINESERVER'], '-k'], [self.wine['WINESERVER'], '-w']):
            try:
                subprocess.run(cmd, env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=20)
            except subprocess.TimeoutExpired:
                pass
        for prog in self._programs:
            prog.kill()
        self._booted = False

    def close(self):
        """Ends the session's Wine processes and its X server. Safe to call twice."""
        if getattr(self, 'env', None):
            self.kill()
        if self._xvfb is not None:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
                self._xvfb.wait(5)
            self._xvfb = None
            try:
                os.unlink(os.path.join(self.root, 'xvfb.pid'))
            except FileNotFoundError:
                pass
            self._note('closed')

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # ---- windows and input

    def _xdo(self, *args, check=True, timeout=10):
        try:
            r = subprocess.run(['xdotool'] + [str(a) for a in args], env=self.env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise BenchError('xdotool %s did not end within %s s' % (' '.join(map(str, args)), timeout)) from None
        if check and r.returncode != 0:
            raise BenchError('xdotool %s failed: %s' % (' '.join(map(str, args)),
                                                        r.stderr.decode(errors='replace').strip()))
        return r.stdout.decode('utf-8', 'replace')

    def windows(self, title=None, pid=None):
        """Visible top-level windows, those titled exactly TITLE when given, and of
        the program PID (a Program or a pid) when given."""
        args = ['search', '--onlyvisible']
        if pid is not None:
            args += ['--pid', getattr(pid, 'pid', pid)]
        # xdotool matches case-blind regexes: narrow down with one, compare exactly after.
        args += ['--name', '^' + re.sub(r'([.\[\]()*+?{}|^$\\])', r'\\\1', title) + '$' if title else '^']
        found = [Window(self, wid) for wid in self._xdo(*args, check=False).split()]
        if title is not None:
            found = [w for w in found if self._xdo('getwindowname', w.id, check=False).rstrip('\n') == title]
        return found

    def wait_window(self, title, timeout=30, pid=None):
        """The visible window titled TITLE, waited for."""
        return _wait_for(lambda: next(iter(self.windows(title, pid)), None), timeout,
                         'a window titled %r' % title, interval=0.1)

    def move_pointer(self, x, y):
        self._xdo('mousemove', x, y)

    def click(self, x, y, button='left', count=1):
        """Clicks at screen position x, y."""
        self._xdo('mousemove', x, y, 'click', '--repeat', count, '--delay', 80, _BUTTONS[button])

    def drag(self, x0, y0, x1, y1, button='left', steps=10):
        """Presses at x0, y0, moves in STEPS steps to x1, y1 and lets go there."""
        b = _BUTTONS[button]
        self._xdo('mousemove', x0, y0, 'mousedown', b)
        for i in range(1, steps + 1):
            self._xdo('mousemove', x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
            time.sleep(0.02)
        self._xdo('mouseup', b)

    def key(self, *keys):
        """Presses keys (X names: Return, Escape, Tab, alt+f, ctrl+a, F5...) in the
        focused window."""
        self._xdo('key', '--delay', 50, *keys)

    def type_text(self, text):
        self._xdo('type', '--delay', 30, text, timeout=10 + len(text) * 0.1)

    def screenshot(self, path=None, region=None):
        """The screen, or REGION of it (x, y, width, height); saved as PNG when PATH is
        given (relative paths land in the session's logs/)."""
        try:
            r = subprocess.run(['import', '-window', 'root', '-depth', '8', 'ppm:-'], env=self.env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, timeout=20)
        except subprocess.TimeoutExpired:
            raise BenchError('screenshot did not end within 20 s') from None
        if r.returncode != 0:
            raise BenchError('screenshot failed: ' + r.stderr.decode(errors='replace'))
        img = Image.from_ppm(r.stdout)
        if region is not None:
            img = img.crop(*region)
        if path:
            img.save(os.path.join(self.logs, path))
        return img

    # ---- registry

    def reg_values(self, key):
        """{name: value} of a key ('' names the default value), None when the key
        does not exist. REG_SZ and REG_EXPAND_SZ give str (unexpanded), REG_DWORD
        and REG_QWORD int, REG_MULTI_SZ a list, other types bytes."""
        typed = self.reg_typed_values(key)
        return None if typed is None else {n: v for n, (_, v) in typed.items()}

    def reg_typed_values(self, key):
        """{name: (type name, value)} of a key, None when it does not exist."""
        win, unix = self._exchange_file('export.reg')
        try:
            r = self._wine('reg', 'export', _full_key(key), win, '/y')
            if r.returncode != 0:
                return None
            with open(unix, 'rb') as f:
                text = f.read().decode('utf-16')
        finally:
            _unlink(unix)
        return parse_reg_export(text, key)

    def reg_query(self, key, name=''):
        """One value (see reg_values), None when it or its key is missing."""
        values = self.reg_values(key)
        return None if values is None else values.get(name)

    def reg_set(self, key, name, value, kind=None):
        """Writes a value; KIND defaults to REG_SZ for str, REG_DWORD for int,
        REG_MULTI_SZ for a list, REG_BINARY for bytes."""
        kind = kind or _default_kind(value)
        lhs = '@' if name == '' else '"%s"' % _reg_escape(name)
        self._reg_import('[%s]\r\n%s=%s\r\n' % (_full_key(key), lhs, _reg_value_text(value, kind)))

    def reg_set_values(self, key, values):
        """Writes several values of one key at once ({name: value} or
        {name: (value, kind)}); one Wine process instead of one per value."""
        lines = []
        for name, value in values.items():
            value, kind = value if isinstance(value, tuple) else (value, None)
            lhs = '@' if name == '' else '"%s"' % _reg_escape(name)
            lines.append('%s=%s\r\n' % (lhs, _reg_value_text(value, kind or _default_kind(value))))
        self._reg_import('[%s]\r\n%s' % (_full_key(key), ''.join(lines)))

    def reg_delete(self, key, name=None):
        """Deletes a value, or with no NAME the key and its subkeys."""
        if name is None:
            self._reg_import('[-%s]\r\n' % _full_key(key))
        else:
            lhs = '@' if name == '' else '"%s"' % _reg_escape(name)
            self._reg_import('[%s]\r\n%s=-\r\n' % (_full_key(key), lhs))

    def _reg_import(self, body):
        # Through a .reg file, so that any text (quotes, trailing backslashes, non-ASCII) arrives as is.
        win, unix = self._exchange_file('import.reg')
        with open(unix, 'wb') as f:
            f.write(('\ufeffWindows Registry Editor Version 5.00\r\n\r\n' + body + '\r\n').encode('utf-16-le'))
        try:
            r = self._wine('reg', 'import', win)
        finally:
            _unlink(unix)
        if r.returncode != 0:
            raise BenchError('reg import failed: ' + r.stdout.decode(errors='replace'))

    def _exchange_file(self, name):
        # Under C:\windows, the one folder every session's C: has.
        win = 'C:\\windows\\bench-xchg\\' + name
        unix = self.unix_path(win)
        os.makedirs(os.path.dirname(unix), exist_ok=True)
        return win, unix


def _default_kind(value):
    if isinstance(value, str):
        return 'REG_SZ'
    if isinstance(value, int):
        return 'REG_DWORD'
    if isinstance(value, list):
        return 'REG_MULTI_SZ'
    return 'REG_BINARY'


def _unlink(path):
    try:
        os.unlink(path)
    except FileNotFoundError:
        pass


def _init_home(home):
    """A private HOME: the Trash folders (without them Wine deletes FOF_ALLOWUNDO
    files for good) and XDG folders, so no Windows profile folder is HOME itself."""
    for d in list(_XDG_DIRS.values()) + ['.local/share/Trash/files', '.local/share/Trash/info', '.cache']:
        os.makedirs(os.path.join(home, d), exist_ok=True)
    os.makedirs(os.path.join(home, '.config'), exist_ok=True)
    with open(os.path.join(home, '.config', 'user-dirs.dirs'), 'w') as f:
        for key, d in _XDG_DIRS.items():
            f.write('XDG_%s_DIR="$HOME/%s"\n' % (key, d))


class BenchTestCase(unittest.TestCase):
    """unittest base: self.session is a fresh Session named after the test,
    closed (all its Wine processes ended) when the test ends, pass or fail."""

    session_options = {}

    def setUp(self):
        super().setUp()
        self.session = Session(self.id(), **self.session_options)
        self.addCleanup(self.session.close)
