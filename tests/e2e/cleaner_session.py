"""A session with the cleaner installed on a C: drive of its own."""

import os

import bench

PROGRAM_DIR = r'C:\Program Files\Pelmora Scourly'
PRODUCT_KEY = r'HKCU\Software\Pelmora Scourly'


def brightness(image):
    """The mean of R, G and B over the picture."""
    total = 0
    for y in range(image.height):
        for x in range(image.width):
            r, g, b = image.pixel(x, y)
            total += r + g + b
    return total / (image.width * image.height * 3)


class CleanerTestCase(bench.BenchTestCase):
    def setUp(self):
        super().setUp()
        s = self.session
        # Only fixture folders are drives: C: holds the program and Windows.
        s.set_drive('c', s.fixture('c'))
        self.exe = s.install([bench.find_built('Scourly.exe'), bench.find_built('Update.exe')], PROGRAM_DIR)
        self.program_dir = s.unix_path(PROGRAM_DIR)

    def program_file(self, name):
        return os.path.join(self.program_dir, name)

    def start_cleaner(self):
        return self.session.start(self.exe)

    def wait_until(self, condition, timeout, what):
        return bench._wait_for(condition, timeout, what)

    def wait_wizard(self, prog, timeout=30):
        return self.session.wait_window('Frm_Main', pid=prog, timeout=timeout)

    def settled(self, region):
        """The brightness of a screen region once two looks in a row agree."""
        last = None

        def steady():
            nonlocal last
            now = brightness(self.session.screenshot(region=region))
            agreed = last is not None and abs(now - last) < 0.5
            last = now
            return agreed

        self.wait_until(steady, 10, 'the screen to settle')
        return last

    def boxes(self, title, pid=None):
        """Shown windows titled TITLE that have a size: message boxes, not the
        taskbar button (the application window, shown at no size, has the
        program's title too)."""
        return [w for w in self.session.windows(title, pid) if min(w.geometry()[2:]) > 1]
