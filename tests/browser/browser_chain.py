"""The chain a portal page runs through in a real browser, set up for a
test or the demo: the extension (with a key made for the run, so its ID is
known), the portal list in Chromium's managed policy, the native host's
manifest in the profile, the Windows counterparts under Wine, and headless
Chromium driven by chromedriver."""
import base64
import hashlib
import json
import os
import shutil
import subprocess
import time

HOST_NAME = "com.vorlane.bridge"
POLICY_DIR = "/etc/chromium/policies/managed"


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def extension_id(public_der):
    digest = hashlib.sha256(public_der).hexdigest()[:32]
    return "".join(chr(ord("a") + int(c, 16)) for c in digest)


def stage_extension(source, target, key_file):
    """The extension's files with a "key" of a key made now; returns its ID."""
    subprocess.run(["openssl", "genpkey", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:2048", "-out", key_file],
                   check=True, capture_output=True)
    der = subprocess.run(["openssl", "pkey", "-in", key_file, "-pubout", "-outform", "DER"],
                         check=True, capture_output=True).stdout
    shutil.copytree(os.path.join(source, "extension"), target)
    os.remove(os.path.join(target, "manifest.firefox.json"))
    manifest_path = os.path.join(target, "manifest.json")
    with open(manifest_path) as f:
        manifest = json.load(f)
    manifest["key"] = base64.b64encode(der).decode()
    with open(manifest_path, "w") as f:
        json.dump(manifest, f, indent=2)
    return extension_id(der)


class Counterparts:
    """browser_counterparts.exe under Wine, driven a command at a time."""

    def __init__(self, program, env):
        self.process = subprocess.Popen(["wine", program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        env=env, text=True, bufsize=1)

    def ask(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()
        lines = []
        while True:
            line = self.process.stdout.readline()
            if not line:
                raise RuntimeError("the counterparts ended (%s)" % command)
            line = line.rstrip("\n")
            if line == "end":
                return lines
            if line.startswith("error"):
                raise RuntimeError("counterparts: %s (%s)" % (line, command))
            lines.append(line)

    def close(self):
        try:
            self.ask("quit")
        except (RuntimeError, BrokenPipeError, ValueError):
            pass
        try:
            self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            self.process.kill()


def add_chain_arguments(parser):
    """The four options run-browser-suite passes to every script it runs."""
    for name in ("--host", "--counterparts", "--source", "--work"):
        parser.add_argument(name, required=True)


def build_folder(host):
    """The build folder (the one holding CMakeCache.txt) of the host program."""
    build = os.path.dirname(os.path.abspath(host))
    while build != "/" and not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        build = os.path.dirname(build)
    return build


class BrowserChain:
    """Everything but the page: start() brings it up, stop() takes it down."""

    @classmethod
    def from_arguments(cls, args):
        return cls(args.source, args.host, args.counterparts, args.work)

    def __init__(self, source, host, counterparts, work):
        self.source, self.host, self.counterparts_program, self.work = source, host, counterparts, work
        self.record = os.path.join(work, "commands.txt")
        self.policy_file = None
        self.driver = None
        self.counterparts = None

    def start(self):
        self.start_counterparts()
        self.start_chromium()

    def start_counterparts(self):
        """The Wine side: allow-list policy, gateway and local client."""
        env = dict(os.environ)
        env["VORLANE_COMMAND_RECORD"] = windows_path(self.record)
        self.env = env
        self.counterparts = Counterparts(self.counterparts_program, env)
        self.port = int(self.counterparts.ask("ports")[0].split()[1])
        # The machine's allow-list names the portal's host and port: the host
        # re-checks each page's origin on every call.
        subprocess.run(["wine", "reg", "add", r"HKLM\SOFTWARE\Policies\Vorlane", "/v", "AllowedHosts",
                        "/t", "REG_MULTI_SZ", "/d", "127.0.0.1:%d" % self.port, "/f"],
                       env=env, check=True, capture_output=True)
        self.origin = "https://127.0.0.1:%d" % self.port
        self.portal = self.origin + "/portals/index.html"

    def start_chromium(self):
        self.extension = os.path.join(self.work, "extension")
        self.extension_id = stage_extension(self.source, self.extension, os.path.join(self.work, "extension-key.pem"))
        # The portal list, as an administrator sets it: Chromium's policy for this extension.
        self.policy_file = os.path.join(POLICY_DIR, "vorlane-test-%s.json" % self.extension_id)
        os.makedirs(POLICY_DIR, exist_ok=True)
        with open(self.policy_file, "w") as f:
            json.dump({"3rdparty": {"extensions": {self.extension_id: {"portals": [self.origin]}}}}, f)

        profile = os.path.join(self.work, "profile")
        hosts = os.path.join(profile, "NativeMessagingHosts")
        os.makedirs(hosts)
        launcher = self.write_launcher()
        with open(os.path.join(hosts, HOST_NAME + ".json"), "w") as f:
            json.dump({"name": HOST_NAME, "description": "SSL VPN client bridge", "path": launcher, "type": "stdio",
                       "allowed_origins": ["chrome-extension://%s/" % self.extension_id]}, f)

        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for arg in ("--headless=new", "--no-sandbox", "--user-data-dir=" + profile,
                    "--load-extension=" + self.extension, "--disable-extensions-except=" + self.extension,
                    "--ignore-certificate-errors", "--no-first-run", "--disable-gpu"):
            options.add_argument(arg)
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.set_script_timeout(60)
        self.driver.set_page_load_timeout(60)
        # A fresh profile installs the extension at start, and its worker puts
        # the content script on the listed origins moments later: pages
        # loaded before that get no API, so wait for it (bounded).
        deadline = time.time() + 30
        while self.open_portal() != "extension":
            if time.time() > deadline:
                raise RuntimeError("the extension never served the listed portal")
            time.sleep(0.5)

    def write_launcher(self):
        """The host's path for a browser: a script that runs it under Wine in this prefix."""
        launcher = os.path.join(self.work, "vorlane-bridge.sh")
        exports = "".join("export %s='%s'\n" % (name, self.env[name]) for name in
                          ("WINEPREFIX", "WINEDEBUG", "WINEDLLOVERRIDES", "WINEARCH", "VORLANE_COMMAND_RECORD", "DISPLAY")
                          if name in self.env)
        with open(launcher, "w") as f:
            f.write("#!/bin/sh\n%sexec wine '%s' \"$@\"\n" % (exports, self.host))
        os.chmod(launcher, 0o755)
        return launcher

    def stop(self):
        if self.driver:
            self.driver.quit()
        if self.counterparts:
            self.counterparts.close()
        if self.policy_file and os.path.exists(self.policy_file):
            os.remove(self.policy_file)

    def recorded(self):
        """The command lines the fake programs were started with."""
        try:
            with open(self.record, encoding="utf-8", errors="replace") as f:
                return [line.rstrip("\n") for line in f]
        except FileNotFoundError:
            return []

    def open_portal(self, address=None, session=None):
        """Loads the portal page (with the session cookie first, when given)
        and answers which API it got: "extension" or an error code."""
        if session:
            self.driver.get(self.origin + "/verify")
            self.driver.add_cookie({"name": "Varnex_SSLID", "value": session, "path": "/"})
        self.driver.get(address or self.portal)
        if not self.wait(lambda: self.driver.execute_script("return !!window.vpn;"), 15):
            raise RuntimeError("the portal page made no API object: %s %s" % (
                self.driver.current_url, [e["message"] for e in self.driver.get_log("browser")]))
        return self.page_script("""
            window.seen = [];
            var show = vpn.OnClientMessage;
            vpn.OnClientMessage = function (text) { seen.push(text); show(text); };
            vpn.ready.then(done, function (e) { done("error " + e.code); });""")

    def page_script(self, body, *args):
        """Runs body in the page with done(value) to answer; a rejected
        promise passed to fail(error) answers {"error": code}."""
        script = ("var done = arguments[arguments.length - 1];"
                  "var fail = function (e) { done({error: e.code || String(e)}); };" + body)
        return self.driver.execute_async_script(script, *args)

    def call(self, expression):
        """A member call on the page's API; its result, or {"error": code}."""
        return self.page_script("(%s).then(function (r) { done({result: r}); }, fail);" % expression)

    def run_with_type(self, portal_type):
        """Run() as a portal whose <object> has this "type" calls it; its
        result, or {"error": code}."""
        return self.page_script("""
            document.querySelector("#vorlane param[name=type]").setAttribute("value", String(arguments[0]));
            var api = Vorlane.attach(document.getElementById("vorlane"));
            api.Run().then(function (r) { done({result: r}); }, fail);""", portal_type)

    def stored_cookies(self):
        """The browser's whole cookie store (not only what a page may read), by name."""
        return {c["name"]: c for c in self.driver.execute_cdp_cmd("Network.getAllCookies", {})["cookies"]}

    def wait(self, condition, seconds=30):
        deadline = time.time() + seconds
        while time.time() < deadline:
            value = condition()
            if value:
                return value
            time.sleep(0.25)
        return condition()
