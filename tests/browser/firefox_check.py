"""The example portal page in Debian's firefox-esr, headless, driven over
WebDriver BiDi (Debian has no geckodriver): the extension installed as a
temporary add-on, the portal list in Firefox's managed storage manifest and
the native host's manifest under a HOME of the run's own. Run by
run-browser-suite --firefox; prints each check and exits non-zero on failure."""
import argparse
import json
import os
import shutil
import socket
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_chain import HOST_NAME, BrowserChain, add_chain_arguments  # noqa: E402

import websocket  # noqa: E402  (python3-websocket)

ADDON_ID = "vorlane@vorlane.example"
SESSION = "0123456789abcdef0123456789abcdef"


class Bidi:
    def __init__(self, url):
        # Firefox refuses a handshake that carries an Origin header.
        self.socket = websocket.create_connection(url, timeout=60, suppress_origin=True)
        self.next_id = 1

    def send(self, method, params):
        command_id = self.next_id
        self.next_id += 1
        self.socket.send(json.dumps({"id": command_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == command_id:
                if message.get("type") == "error":
                    raise RuntimeError("%s: %s %s" % (method, message.get("error"), message.get("message")))
                return message["result"]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    parser = argparse.ArgumentParser()
    add_chain_arguments(parser)
    args = parser.parse_args()
    chain = BrowserChain.from_arguments(args)
    firefox = None
    failures = []
    try:
        chain.start_counterparts()
        home = os.path.join(args.work, "home")
        for folder, manifest in (
                ("native-messaging-hosts", {"name": HOST_NAME, "description": "SSL VPN client bridge",
                                            "path": chain.write_launcher(), "type": "stdio",
                                            "allowed_extensions": [ADDON_ID]}),
                ("managed-storage", {"name": ADDON_ID, "description": "portal list", "type": "storage",
                                     "data": {"portals": [chain.origin]}})):
            os.makedirs(os.path.join(home, ".mozilla", folder), exist_ok=True)
            name = HOST_NAME if folder == "native-messaging-hosts" else ADDON_ID
            with open(os.path.join(home, ".mozilla", folder, name + ".json"), "w") as f:
                json.dump(manifest, f)
        extension = os.path.join(args.work, "extension-firefox")
        shutil.copytree(os.path.join(args.source, "extension"), extension)
        os.replace(os.path.join(extension, "manifest.firefox.json"), os.path.join(extension, "manifest.json"))
        profile = os.path.join(args.work, "firefox-profile")
        os.makedirs(profile)
        with open(os.path.join(profile, "user.js"), "w") as f:
            f.write('user_pref("browser.shell.checkDefaultBrowser", false);\n')

        port = free_port()
        env = dict(chain.env, HOME=home, MOZ_HEADLESS="1")
        firefox = subprocess.Popen(["firefox-esr", "--headless", "--no-remote", "--profile", profile,
                                    "--remote-debugging-port", str(port), "about:blank"],
                                   env=env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(args.work, "firefox.log"), "w"))
        bidi = None
        deadline = time.time() + 60
        while bidi is None:
            try:
                bidi = Bidi("ws://127.0.0.1:%d/session" % port)
            except (OSError, websocket.WebSocketException):
                if time.time() > deadline or firefox.poll() is not None:
                    raise RuntimeError("firefox-esr offered no WebDriver BiDi endpoint")
                time.sleep(0.5)
        bidi.send("session.new", {"capabilities": {"alwaysMatch": {"acceptInsecureCerts": True}}})
        installed = bidi.send("webExtension.install", {"extensionData": {"type": "path", "path": extension}})
        print("firefox-esr: extension %s installed as a temporary add-on" % installed.get("extension"))
        context = bidi.send("browsingContext.getTree", {})["contexts"][0]["context"]

        def go(url):
            bidi.send("browsingContext.navigate", {"context": context, "url": url, "wait": "complete"})

        def evaluate(expression):
            result = bidi.send("script.evaluate", {"expression": expression, "target": {"context": context},
                                                    "awaitPromise": True})
            if result.get("type") == "exception":
                return "exception: " + result["exceptionDetails"].get("text", "")
            return result["result"].get("value")

        def check(label, got, expected):
            print("  %-40s %s" % (label, got))
            if got != expected:
                failures.append("%s: %r, expected %r" % (label, got, expected))

        go(chain.origin + "/verify")
        evaluate("document.cookie = 'Varnex_SSLID=%s; path=/'" % SESSION)
        chain.counterparts.ask("client Connecting Connected")
        kind = None
        deadline = time.time() + 30
        while kind != "extension" and time.time() < deadline:  # the content script is registered moments after install
            go(chain.portal)
            kind = evaluate("vpn.ready.then(function (k) { return k; }, function (e) { return 'error ' + e.code; })")
            time.sleep(0.5)
        check("listed portal gets the API from", kind, "extension")
        evaluate("window.seen = []; vpn.OnClientMessage = function (t) { seen.push(t); }; 0")
        check("Run()", evaluate("vpn.Run()"), True)
        deadline = time.time() + 30
        while "Connected" not in (evaluate("seen.join(',')") or "") and time.time() < deadline:
            time.sleep(0.5)
        check("OnClientMessage saw Connected", "Connected" in (evaluate("seen.join(',')") or ""), True)
        # The installer records itself once Wine has started it, which on a busy
        # machine may come after the client's state.
        check("installer started", bool(chain.wait(lambda: any("UpdateInstaller.exe" in line for line in chain.recorded()))),
              True)
        check("GetPCHardInfo()", evaluate("vpn.GetPCHardInfo().then(function () { return 'done'; })"), "done")
        time.sleep(2)
        check("the tab is at", evaluate("location.href"), chain.origin + "/verify")
        check("MAC_Addr cookie stored", "MAC_Addr=" in (evaluate("document.cookie") or ""), True)
        go("https://localhost:%d/portals/index.html" % chain.port)
        check("unlisted origin gets", evaluate(
            "vpn.ready.then(function (k) { return k; }, function (e) { return 'error ' + e.code; })"), "error unavailable")
    finally:
        if firefox:
            firefox.terminate()
            try:
                firefox.wait(timeout=15)
            except subprocess.TimeoutExpired:
                firefox.kill()
        chain.stop()
    for failure in failures:
        print("FAILED: " + failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
