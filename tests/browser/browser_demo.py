"""The example portal page in headless Chromium through the extension and the
native host: prints what the page saw. Run by run-browser-suite --demo."""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_chain import BrowserChain, add_chain_arguments  # noqa: E402

SESSION = "0123456789abcdef0123456789abcdef"


def main():
    parser = argparse.ArgumentParser()
    add_chain_arguments(parser)
    args = parser.parse_args()
    chain = BrowserChain.from_arguments(args)
    try:
        chain.start()
        c = chain
        print("extension %s, portal list by policy: %s" % (c.extension_id, c.origin))
        c.counterparts.ask("client Connecting Connected")
        print("page %s with the session cookie: API from the %s" % (c.portal, c.open_portal(session=SESSION)))
        print("  Run()            -> %s" % c.call("vpn.Run()"))
        c.wait(lambda: "Connected" in c.driver.execute_script("return window.seen;"), 30)
        print("  OnClientMessage  -> %s" % c.driver.execute_script("return window.seen;"))
        for line in c.counterparts.ask("requests"):
            print("  gateway saw      %s" % line)
        c.wait(lambda: c.recorded(), 15)
        for line in c.recorded():
            print("  program started  %s" % line)
        print("  ResetUrl()       -> %s" % c.call("vpn.ResetUrl()"))
        print("  Close(1)         -> %s" % c.call("vpn.Close(1)"))
        c.wait(lambda: False, 1)
        print("  local client got %s" % c.counterparts.ask("received"))
        print("  GetPCHardInfo()  -> %s" % c.call("vpn.GetPCHardInfo()"))
        c.wait(lambda: c.driver.current_url.endswith("/verify"), 15)
        print("  the tab is now at %s; MAC_Addr cookie %s" % (
            c.driver.current_url, (c.driver.get_cookie("MAC_Addr") or {}).get("value")))
        home = c.origin + "/portal/home"
        c.counterparts.ask("login " + home)
        c.counterparts.ask("requests")
        print("page %s, <param name=\"type\" value=\"3\">: certificate login (API from the %s)" % (
            c.portal, c.open_portal(session=SESSION)))
        print("  Run()            -> %s" % c.run_with_type(3))
        c.wait(lambda: c.driver.current_url == home, 15)
        for line in c.counterparts.ask("requests"):
            if line.startswith("GET /certLogin "):
                print("  gateway saw      %s" % line)
        cookies = c.stored_cookies()
        print("  the tab is now at %s; cookies %s" % (c.driver.current_url, ", ".join(
            "%s=%s" % (name, cookies[name]["value"]) for name in ("Varnex_SSLID", "Client_Key") if name in cookies)))
        c.counterparts.ask("login off")
        other = "https://localhost:%d/portals/index.html" % c.port
        print("page %s (not listed): %s; the page says %r" % (
            other, c.open_portal(address=other), c.driver.find_element("id", "message").text))
    finally:
        chain.stop()


if __name__ == "__main__":
    main()
