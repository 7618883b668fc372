"""Portal page -> extension -> native host -> core, in headless Chromium.
Run by run-browser-suite, which makes the Wine prefix and the X display."""
import argparse
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_chain import BrowserChain, add_chain_arguments, build_folder, windows_path  # noqa: E402

SESSION = "0123456789abcdef0123456789abcdef"
chain = None


class PortalInChromium(unittest.TestCase):
    """One browser for the class; each test opens the page afresh, so each
    has a host process of its own."""

    def seen(self):
        return self.chain.driver.execute_script("return window.seen || [];")

    def setUp(self):
        self.chain = chain
        self.chain.counterparts.ask("received")
        self.chain.counterparts.ask("requests")
        self.records = len(self.chain.recorded())

    def new_records(self, count=1):
        return self.chain.wait(lambda: self.chain.recorded()[self.records:] if
                               len(self.chain.recorded()) >= self.records + count else None)

    def test_run_starts_the_installed_updater_and_relays_the_state(self):
        c = self.chain
        c.counterparts.ask("updater install")
        c.counterparts.ask("client Connecting Connecting Connected")
        self.assertEqual("extension", c.open_portal(session=SESSION))
        self.assertEqual({"result": True}, c.call("vpn.Run()"))
        lines = self.new_records()
        self.assertIsNotNone(lines, "no program was started")
        self.assertIn("Corvanta\\Update\\Update.exe", lines[0])
        self.assertTrue(lines[0].endswith("-server 127.0.0.1 -port %d -session %s -type 0 " % (c.port, SESSION)), lines[0])
        self.assertTrue(c.wait(lambda: "Connected" in self.seen()), self.seen())
        self.assertEqual("Connecting", self.seen()[0])
        self.assertEqual([], [r for r in c.counterparts.ask("requests") if "UpdateInstaller" in r])  # nothing downloaded
        # Close(1) tells the local client the page is gone.
        self.assertEqual({"result": None}, c.call("vpn.Close(1)"))
        self.assertTrue(c.wait(lambda: "pageOff" in c.counterparts.ask("received"), 15))
        c.counterparts.ask("updater remove")

    def test_leaving_the_page_tells_the_client(self):
        c = self.chain
        c.counterparts.ask("updater install")
        c.counterparts.ask("client Connected")
        self.assertEqual("extension", c.open_portal(session=SESSION))
        self.assertEqual({"result": True}, c.call("vpn.Run()"))
        self.assertTrue(c.wait(lambda: "Connected" in self.seen()), self.seen())
        c.counterparts.ask("received")
        # The example page calls Close(1) on pagehide.
        c.driver.get(c.origin + "/verify")
        self.assertTrue(c.wait(lambda: "pageOff" in c.counterparts.ask("received"), 15))
        c.counterparts.ask("updater remove")

    def test_run_without_updater_downloads_and_starts_the_installer(self):
        c = self.chain
        c.counterparts.ask("updater remove")
        c.counterparts.ask("client Connected")
        self.assertEqual("extension", c.open_portal(session=SESSION))
        self.assertEqual({"result": True}, c.call("vpn.Run()"))
        lines = self.new_records()
        self.assertIsNotNone(lines, "the installer was not started")
        self.assertIn("UpdateInstaller.exe", lines[0])
        requests = c.counterparts.ask("requests")
        self.assertIn("GET /sslvpn/client/UpdateInstaller.exe HTTP/1.1 cookie=Varnex_SSLID=" + SESSION, requests)
        self.assertTrue(c.wait(lambda: "Connected" in self.seen()), self.seen())

    def test_run_cmd_starts_the_program(self):
        c = self.chain
        self.assertEqual("extension", c.open_portal())
        program = os.path.join(c.fake_programs, "sleeper.exe")
        command = '"%s" from-the-page' % windows_path(program)
        self.assertEqual({"result": True}, c.call("vpn.RunCmd(%r, false)" % command))
        lines = self.new_records()
        self.assertIsNotNone(lines)
        self.assertTrue(lines[0].endswith("from-the-page"), lines[0])

    def test_reset_url_answers_true_once_after_the_event(self):
        c = self.chain
        self.assertEqual("extension", c.open_portal())
        self.assertEqual({"result": False}, c.call("vpn.ResetUrl()"))
        c.counterparts.ask("reset")
        # The page's own poll (every 2 s) gets the true and reloads the page.
        self.assertTrue(c.wait(lambda: c.driver.execute_script(
            "return performance.getEntriesByType('navigation')[0].type") == "reload", 20))
        c.open_portal(address=c.portal + "?again")
        self.assertEqual({"result": False}, c.call("vpn.ResetUrl()"))

    def test_get_pc_hard_info_stores_the_mac_cookie_and_shows_verify(self):
        c = self.chain
        self.assertEqual("extension", c.open_portal())
        self.assertEqual({"result": None}, c.call("vpn.GetPCHardInfo()"))
        self.assertTrue(c.wait(lambda: c.driver.current_url == c.origin + "/verify", 15), c.driver.current_url)
        cookie = c.driver.get_cookie("MAC_Addr")
        self.assertIsNotNone(cookie, c.driver.get_cookies())
        self.assertRegex(cookie["value"], r"^([0-9A-Fa-f]{2}[-:]){5}[0-9A-Fa-f]{2}")

    def test_certificate_login_leaves_both_cookies_in_the_store_and_the_tab_at_the_target(self):
        c = self.chain
        target = c.origin + "/portal/home"
        # From here the gateway asks each connection for a client certificate:
        # the browser, which has none, goes on without; the core presents the
        # test user's from the personal store, and only that passes /certLogin.
        c.counterparts.ask("login " + target)
        try:
            self.assertEqual("extension", c.open_portal(session=SESSION))
            self.assertEqual({"result": False}, c.run_with_type(3), "false after a login that navigated")
            self.assertTrue(c.wait(lambda: c.driver.current_url == target, 15), c.driver.current_url)
            logins = [r for r in c.counterparts.ask("requests") if r.startswith("GET /certLogin ")]
            self.assertEqual(["GET /certLogin HTTP/1.1 cookie=Varnex_SSLID=%s; SSLVPN_lang=1"
                              " certificate=/CN=Test User/O=Vorlane Test" % SESSION], logins)
            cookies = c.stored_cookies()
            self.assertIn("Client_Key", cookies, cookies)
            self.assertEqual(("1", "127.0.0.1", "/"), (cookies["Client_Key"]["value"], cookies["Client_Key"]["domain"],
                                                      cookies["Client_Key"]["path"]))
            session = cookies.get("Varnex_SSLID")
            self.assertIsNotNone(session, cookies)
            self.assertEqual((SESSION, "127.0.0.1", "/"), (session["value"], session["domain"], session["path"]))
            # The login's copy: the page's own was a session cookie, the login's lasts a year.
            self.assertFalse(session["session"], session)
            self.assertAlmostEqual(time.time() + 365 * 86400, session["expires"], delta=2 * 86400)
        finally:
            c.counterparts.ask("login off")

    def test_a_page_off_the_list_gets_no_api_and_its_messages_run_nothing(self):
        c = self.chain
        # The same server under another name: another origin, not listed.
        address = "https://localhost:%d/portals/index.html" % c.port
        self.assertEqual("error unavailable", c.open_portal(address=address))
        self.assertIn("Neither the SSL VPN control nor the browser extension",
                      c.driver.find_element("id", "message").text)
        program = windows_path(os.path.join(c.fake_programs, "sleeper.exe"))
        c.driver.execute_script(
            "window.postMessage({vorlane: 'call', id: 1, member: 'RunCmd', args: [arguments[0], false],"
            " origin: arguments[1]}, '*');", '"%s" forged' % program, c.origin)
        c.driver.execute_script("return new Promise(function (r) { setTimeout(r, 3000); });")
        self.assertEqual([], [line for line in c.recorded() if "forged" in line])
        logs = [entry for entry in c.driver.get_log("browser") if "Uncaught" in entry["message"]]
        self.assertEqual([], logs)


def main():
    global chain
    parser = argparse.ArgumentParser()
    add_chain_arguments(parser)
    args, rest = parser.parse_known_args()
    chain = BrowserChain.from_arguments(args)
    chain.fake_programs = os.path.join(build_folder(args.host), "tests", "support", "local_client", "programs")
    try:
        chain.start()
        result = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2).result
    finally:
        chain.stop()
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
