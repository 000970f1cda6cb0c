"""The about box, opened from the wizard's bottom bar as a user would: where
it opens, its rounded corners, dragging it by its picture, the OK button's
hover picture, and the wizard answering again once it is closed."""

import unittest

from cleaner_session import CleanerTestCase, brightness

ABOUT_LINK = (83 + 12, 550 + 26)   # in the wizard: the bottom bar's About
BANNER = (300, 40)                 # in the wizard: a handle to drag it by
OK = (336, 259, 95, 25)            # in the box
PICTURE = (200, 200)               # in the box: the legal notice, far from OK
BOX_SIZE = (493, 350)


class AboutBox(CleanerTestCase):
    def setUp(self):
        super().setUp()
        self.prog = self.start_cleaner()
        self.wizard = self.wait_wizard(self.prog)

    def open_box(self):
        self.wizard.click(*ABOUT_LINK)
        return self.session.wait_window('Frm_About', pid=self.prog)

    def ok_region(self, box):
        x, y = box.geometry()[:2]
        return (x + OK[0], y + OK[1], OK[2], OK[3])

    def test_opens_centred_over_the_moved_wizard_with_rounded_corners(self):
        s = self.session
        self.wizard.drag(*BANNER, BANNER[0] - 200, BANNER[1] - 150)
        wx, wy, ww, wh = self.wizard.geometry()
        self.assertEqual((wx, wy), (82, 93))
        place = (wx + (ww - BOX_SIZE[0]) // 2, wy + (wh - BOX_SIZE[1]) // 2) + BOX_SIZE
        behind = s.screenshot('before-about.png', region=place)
        box = self.open_box()
        self.assertEqual(tuple(box.geometry()), place)
        shot = s.screenshot('about.png', region=place)
        # Outside the rounded region the wizard behind still shows; a few
        # pixels in, the box's blue band.
        w, h = BOX_SIZE
        for corner in ((0, 0), (1, 1), (w - 1, 0), (0, h - 1), (w - 1, h - 1), (w - 2, h - 2)):
            self.assertEqual(shot.pixel(*corner), behind.pixel(*corner), corner)
        r, g, b = shot.pixel(8, 8)
        self.assertGreater(b, r + 60)
        self.assertNotEqual(shot.pixel(8, 8), behind.pixel(8, 8))

    def test_only_a_left_drag_on_the_picture_moves_the_box(self):
        box = self.open_box()
        start = box.geometry()[:2]
        for button in ('right', 'middle'):
            box.drag(*PICTURE, PICTURE[0] + 80, PICTURE[1] + 60, button=button)
            self.assertEqual(box.geometry()[:2], start, button)
        # A press on OK is no handle, and letting go away from it is no click.
        box.drag(OK[0] + 40, OK[1] + 12, OK[0] - 100, OK[1] - 100)
        self.assertEqual(box.geometry()[:2], start)
        box.drag(*PICTURE, PICTURE[0] + 60, PICTURE[1] + 30)
        self.assertEqual(box.geometry()[:2], (start[0] + 60, start[1] + 30))
        self.assertTrue(box.exists())
        self.assertEqual(len(self.session.windows('Frm_About')), 1)

    def test_ok_hovers_closes_the_box_and_a_second_box_starts_fresh(self):
        s = self.session
        box = self.open_box()
        ok = self.ok_region(box)
        s.move_pointer(ok[0] - 60, ok[1] - 60)
        normal = self.settled(ok)
        s.move_pointer(ok[0] + 40, ok[1] + 12)
        self.wait_until(lambda: brightness(s.screenshot(region=ok)) > normal + 5, 10, 'the hover picture')
        s.move_pointer(ok[0] - 60, ok[1] - 60)
        self.wait_until(lambda: brightness(s.screenshot(region=ok)) < normal + 1, 10, 'the normal picture')
        # Closed while OK shows its hover picture.
        s.move_pointer(ok[0] + 40, ok[1] + 12)
        self.wait_until(lambda: brightness(s.screenshot(region=ok)) > normal + 5, 10, 'the hover picture')
        s.click(ok[0] + 40, ok[1] + 12)
        box.wait_closed()
        # The wizard takes input again: its banner drags it.
        start = self.wizard.geometry()[:2]
        self.wizard.drag(*BANNER, BANNER[0] + 30, BANNER[1] + 20)
        self.assertEqual(self.wizard.geometry()[:2], (start[0] + 30, start[1] + 20))
        box = self.open_box()
        self.assertAlmostEqual(self.settled(self.ok_region(box)), normal, delta=1)
        self.assertEqual(self.prog.popen.poll(), None)


if __name__ == '__main__':
    unittest.main()
