"""The cleaner's start-up and its borderless wizard window, driven as a user
would: settings in the registry, the window's place and shape, dragging,
minimising, closing, the keyboard, hover pictures."""

import os
import time
import unittest

from cleaner_session import CleanerTestCase, PRODUCT_KEY, brightness


class StartUp(CleanerTestCase):
    def test_first_start_creates_the_settings_and_opens_page_one(self):
        s = self.session
        prog = self.start_cleaner()
        win = self.wait_wizard(prog)
        self.assertEqual(tuple(win.geometry()), (282, 243, 740, 589))
        values = s.reg_typed_values(PRODUCT_KEY)
        self.assertEqual(values.get('OneScheduleOfWeek'), ('REG_DWORD', 0))
        self.assertNotIn('CheckUpdate', values)
        # The bytes the i686 build writes (the fixture came from it): every
        # build of the program must store the list the same way.
        with open(self.program_file('JunkFile.dat'), 'rb') as f:
            stored = f.read()
        with open(os.path.join(os.path.dirname(__file__), 'fixtures', 'JunkFile-built-in.dat'), 'rb') as f:
            self.assertEqual(stored, f.read())
        shot = s.screenshot('first-start.png', region=(282, 243, 740, 589))
        # Rounded corners: the screen behind shows at the corner, the banner
        # a few pixels in.
        self.assertEqual(shot.pixel(0, 0), (0, 0, 0))
        self.assertEqual(shot.pixel(739, 588), (0, 0, 0))
        r, g, b = shot.pixel(560, 20)
        self.assertGreater(b, r + 60)
        # Page 1: the big blue Scan Now button at the bottom right of the page.
        r, g, b = shot.pixel(16 + 514 + 150, 83 + 400 + 58)
        self.assertGreater(b, r + 60)
        win.click(699 + 13, 9)  # Close
        self.assertEqual(prog.wait(15), 0)

    def test_stored_schedule_is_read_and_kept(self):
        s = self.session
        s.reg_set(PRODUCT_KEY, 'OneScheduleOfWeek', 5)
        s.reg_set(PRODUCT_KEY, 'CheckUpdate', '0')
        prog = self.start_cleaner()
        win = self.wait_wizard(prog)
        win.click(699 + 13, 9)
        self.assertEqual(prog.wait(15), 0)
        self.assertEqual(s.reg_query(PRODUCT_KEY, 'OneScheduleOfWeek'), 5)

    def test_check_update_stored_as_a_number_ends_start_up_with_an_error(self):
        s = self.session
        s.reg_set(PRODUCT_KEY, 'CheckUpdate', 1)
        prog = self.start_cleaner()
        box = s.wait_window('Application Error', pid=prog)
        s.screenshot('application-error.png')
        box.focus()
        s.key('Return')
        self.assertEqual(prog.wait(15), 1)
        self.assertEqual(s.windows('Frm_Main'), [])


class Frame(CleanerTestCase):
    def setUp(self):
        super().setUp()
        self.prog = self.start_cleaner()
        self.win = self.wait_wizard(self.prog)

    def test_left_drag_on_the_banner_moves_the_window_right_drag_does_not(self):
        self.win.drag(300, 40, 400, 140, button='right')
        self.assertEqual(self.win.geometry()[:2], (282, 243))
        self.win.drag(300, 40, 400, 140)
        self.assertEqual(self.win.geometry()[:2], (382, 343))
        # The bottom bar drags too.
        self.win.drag(400, 570, 350, 560)
        self.assertEqual(self.win.geometry()[:2], (332, 333))
        # The minimise button is no handle, and letting go away from it is no click.
        self.win.drag(672 + 13, 9, 672 + 113, 109)
        self.assertEqual(self.win.geometry()[:2], (332, 333))
        self.assertEqual(len(self.session.windows('Frm_Main')), 1)

    def test_the_taskbar_button_is_there_from_the_start_and_stays_on_minimise(self):
        # The wizard is owned, so it has no button; the application window
        # with the title is the one top-level window a taskbar would list.
        s = self.session
        buttons = [w.id for w in s.windows('Pelmora Scourly', pid=self.prog)]
        self.assertEqual(len(buttons), 1)
        self.win.click(672 + 13, 9)
        self.wait_until(lambda: not s.windows('Frm_Main'), 10, 'the wizard to hide')
        self.assertIsNone(self.prog.popen.poll())
        self.assertEqual([w.id for w in s.windows('Pelmora Scourly', pid=self.prog)], buttons)

    def test_tab_reaches_the_junk_type_list_whose_keys_then_select_a_row(self):
        s = self.session
        # The junk-type list's rows, below its header, on screen.
        rows = (282 + 16 + 12 + 100, 243 + 83 + 224 + 24, 300, 60)

        def highlighted():
            """How many pixels show the blue of a selection in a focused list."""
            shot = s.screenshot(region=rows)
            count = 0
            for y in range(shot.height):
                for x in range(shot.width):
                    r, g, b = shot.pixel(x, y)
                    count += b > r + 60
            return count

        self.assertEqual(highlighted(), 0)
        self.win.focus()
        s.key('Tab', 'Tab', 'Home')  # the drive list, the junk-type list, its first row
        self.wait_until(lambda: highlighted() > 500, 10, 'the first row selected')
        # A list without the focus draws its selected row grey: Shift+Tab goes
        # back to the drive list, Tab comes again to the row kept selected.
        s.key('shift+Tab')
        self.wait_until(lambda: highlighted() == 0, 10, 'the focus back on the drive list')
        s.key('Tab')
        self.wait_until(lambda: highlighted() > 500, 10, 'the focus on the junk-type list again')

    def test_hover_shows_the_lighter_picture_and_leaving_restores_it(self):
        s = self.session
        add = (282 + 16 + 18, 243 + 83 + 372, 98, 22)  # AddBtn on screen
        s.move_pointer(100, 100)
        normal = self.settled(add)
        s.move_pointer(add[0] + 49, add[1] + 11)
        self.wait_until(lambda: brightness(s.screenshot(region=add)) > normal + 5, 10, 'the hover picture')
        hover = self.settled(add)
        for step in range(1, 6):  # across the gap onto EditBtn, as a hand moves
            s.move_pointer(add[0] + 49 + 111 * step // 5, add[1] + 11)
            time.sleep(0.05)
        self.wait_until(lambda: brightness(s.screenshot(region=add)) < hover - 5, 10, 'the normal picture again')
        self.assertAlmostEqual(self.settled(add), normal, delta=1)


if __name__ == '__main__':
    unittest.main()
