"""The scripted session of demo/main_job.py, in its short form (install, five
steps, the 64-bit edition among them, uninstall), in this run's Wine session:
it must finish with every step having had its effect."""
import os
import subprocess
import sys
import tempfile
import unittest

from harness import BIN, STATE

MAIN_JOB = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "demo", "main_job.py")


class MainJobShort(unittest.TestCase):
    def test_the_short_session_passes_every_step(self):
        if not STATE or not BIN:
            self.skipTest("PTR_WINE_STATE and PTR_BIN are set by the test run")
        out = tempfile.mkdtemp(prefix="ptrdemo-")
        result = subprocess.run([sys.executable, MAIN_JOB, "--short", "--out", out], env=dict(os.environ),
                                stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=400)
        account = result.stdout + result.stderr
        self.assertEqual(result.returncode, 0, account)
        self.assertIn("7 steps, 7 passed", account)
        self.assertEqual(account.count("  PASS"), 7, account)
        self.assertIn("Two programs, each with settings of its own", account)
        self.assertIn("The 64-bit edition", account)
        pictures = sorted(f for f in os.listdir(out) if f.endswith(".png"))
        self.assertEqual(len(pictures), 7, pictures)
        for picture in pictures:
            self.assertGreater(os.path.getsize(os.path.join(out, picture)), 1000, picture)


if __name__ == "__main__":
    unittest.main(verbosity=2)
