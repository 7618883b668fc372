"""The portal's browser road against the control's, min/median/max of
several runs, beside the least work each job needs:
  1. page call Run() -> OnClientMessage("Connected"): headless Chromium +
     extension + vorlane-bridge.exe under Wine, against the same call on the
     control in the page host (vorlane-host.exe --timestamps), both with the
     updater installed and the local client answering "Connected";
  2. host start: a portal page's navigation -> its first reply from the host,
     against navigation -> the API ready (the same page, no host involved);
  3. the host's memory (working set and private bytes of its Wine process,
     from /proc) right after Run and after --relay-seconds of status relay
     with the client's state changing every 2 s (target: growth under 1 MB);
  4. the bytes the host and its manifests add to vorlane.msi (the package
     built by wixl with and without them) and their compressed size.
Run by run-browser-suite --bench (Wine prefix, X display, the chain of
tests/browser); it listens on 127.0.0.1:8000, so under
flock /tmp/vorlane-8000.lock, as tools/bench runs it.
Prints "figure NAME VALUE GOAL" lines (medians) for tools/bench."""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "tests", "browser"))
from browser_chain import BrowserChain, add_chain_arguments, build_folder, windows_path  # noqa: E402

SESSION = "0123456789abcdef0123456789abcdef"
PARAMS = ("ip=127.0.0.1", "port=443", "username=demo", "type=0")


def row(what, values, unit="ms"):
    if not values:
        print("  %-52s (no runs)" % what)
        return
    print("  %-52s min %9.1f  median %9.1f  max %9.1f %s" % (
        what, min(values), statistics.median(values), max(values), unit))


BEGAN = time.time()


def progress(what):
    print("[%6.1f s] %s" % (time.time() - BEGAN, what), file=sys.stderr, flush=True)


def figure(name, value, goal="-"):
    print("figure %s %.3f %s" % (name, value, goal))


def install_updater(build, env):
    """The fake updater where Run looks for it, in the run's Wine prefix."""
    target = os.path.join(env["WINEPREFIX"], "drive_c", "Program Files (x86)", "Corvanta", "Update")
    os.makedirs(target, exist_ok=True)
    shutil.copy(os.path.join(build, "tests", "support", "local_client", "programs", "Update.exe"),
                os.path.join(target, "Update.exe"))


def control_run_to_connected(build, env):
    """Run() on the control in the page host to its OnClientMessage("Connected"),
    by the host's own clock; None when the event never came."""
    bin_dir = os.path.join(build, "bin")
    command = ["wine", os.path.join(bin_dir, "vorlane-host.exe"), "--timestamps",
               "--ocx", windows_path(os.path.join(bin_dir, "vorlane.ocx")),
               "--local-client", "Connected", "--cookie", "Varnex_SSLID=" + SESSION]
    for param in PARAMS:
        command += ["--param", param]
    command += ["call:Run:window", "wait:4000", "call:Close:1", "release"]
    out = subprocess.run(command, env=env, capture_output=True, text=True, timeout=120).stdout
    called = connected = None
    for line in out.splitlines():
        match = re.match(r"\+([0-9.]+) (.*)", line)
        if not match:
            continue
        stamp, text = float(match.group(1)), match.group(2)
        if text == "calling Run" and called is None:
            called = stamp
        elif text.startswith("event OnClientMessage") and '"Connected"' in text and connected is None:
            connected = stamp
    if called is None or connected is None:
        print("  the page host saw no Connected:\n" + out, file=sys.stderr)
        return None
    return connected - called


def browser_run_to_connected(chain):
    """Run() on a fresh portal page to its OnClientMessage("Connected"), by the page's clock."""
    if chain.open_portal(session=SESSION) != "extension":
        return None
    elapsed = chain.page_script("""
        var started = performance.now(), finished = false;
        var shown = vpn.OnClientMessage;
        var finish = function (value) { if (!finished) { finished = true; done(value); } };
        vpn.OnClientMessage = function (text) {
          shown(text);
          if (text === "Connected") finish(performance.now() - started);
        };
        setTimeout(function () { finish(null); }, 30000);
        vpn.Run().then(null, function () { finish(null); });""")
    chain.call("vpn.Close(1)")
    return elapsed


def browser_first_reply(chain):
    """Navigation -> API ready and -> the host's first reply, by the page's clock."""
    chain.driver.get(chain.portal)
    chain.wait(lambda: chain.driver.execute_script("return !!window.vpn;"), 15)
    return chain.page_script("""
        vpn.ready.then(function () {
          var ready = performance.now();
          return vpn.ResetUrl().then(function () { done([ready, performance.now()]); });
        }).then(null, function () { done(null); });""")


def bridge_processes(prefix):
    """PIDs of the processes of vorlane-bridge.exe in this run's Wine prefix
    (other runs on the machine have their own)."""
    found = []
    wanted = b"WINEPREFIX=" + os.fsencode(prefix)
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            # The host itself, not the start.exe that Wine runs it through.
            with open("/proc/%s/cmdline" % name, "rb") as f:
                if not f.read().split(b"\0")[0].strip().lower().endswith(b"vorlane-bridge.exe"):
                    continue
            with open("/proc/%s/environ" % name, "rb") as f:
                if wanted in f.read().split(b"\0"):
                    found.append(int(name))
        except OSError:
            pass
    return found


def memory_kb(pid):
    """Working set (VmRSS) and private bytes (private pages in smaps_rollup) in KB."""
    fields = {}
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            key, _, value = line.partition(":")
            fields[key] = value
    private = 0
    with open("/proc/%d/smaps_rollup" % pid) as f:
        for line in f:
            if line.startswith(("Private_Clean:", "Private_Dirty:")):
                private += int(line.split()[1])
    return int(fields["VmRSS"].split()[0]), private


def relay_memory(chain, seconds):
    """The host's memory right after Run and over `seconds` of status relay."""
    prefix = os.environ["WINEPREFIX"]
    before = set(bridge_processes(prefix))
    if chain.open_portal(session=SESSION) != "extension":
        return None
    deadline = time.time() + 15
    pids = []
    while not pids and time.time() < deadline:
        pids = [pid for pid in bridge_processes(prefix) if pid not in before]
        time.sleep(0.2)
    if not pids:
        print("  no new vorlane-bridge.exe process found", file=sys.stderr)
        return None
    pid = max(pids)
    with open("/proc/%d/cmdline" % pid, "rb") as f:
        print("  the host's process: %d, %s" % (pid, f.read().replace(b"\0", b" ").decode(errors="replace").strip()))
    if chain.call("vpn.Run()") != {"result": True}:
        return None
    chain.wait(lambda: "Connected" in chain.driver.execute_script("return window.seen;"), 30)
    time.sleep(2)
    start = memory_kb(pid)
    print("  %5d s: working set %8d KB, private %8d KB" % (0, start[0], start[1]))
    began, flips, sample = time.time(), 0, 10
    while time.time() - began < seconds:
        chain.counterparts.ask("client %s" % ("Connecting" if flips % 2 == 0 else "Connected"))
        flips += 1
        time.sleep(min(2, max(0, seconds - (time.time() - began))))
        if time.time() - began >= sample:
            now = memory_kb(pid)
            print("  %5d s: working set %8d KB, private %8d KB, %d events" % (
                sample, now[0], now[1], len(chain.driver.execute_script("return window.seen;"))))
            sample += 10 if seconds <= 120 else 60
    end = memory_kb(pid)
    events = len(chain.driver.execute_script("return window.seen;"))
    chain.counterparts.ask("client Connected")
    chain.call("vpn.Close(1)")
    return start, end, events


def msi_sizes(build):
    """Bytes of vorlane.msi with and without the host's component, both made
    by wixl from the package's source now, and the host's files compressed."""
    release = os.path.join(build, "release")
    with open(os.path.join(build, "packaging", "vorlane.wxs")) as f:
        source = f.read()
    without = re.sub(r'\s*<Component Id="BridgeHost".*?</Component>', "", source, flags=re.S)
    without = without.replace('<ComponentRef Id="BridgeHost"/>', "")
    sizes = {}
    with tempfile.TemporaryDirectory() as work:
        for name, text in (("with", source), ("without", without)):
            wxs = os.path.join(work, name + ".wxs")
            with open(wxs, "w") as f:
                f.write(text)
            msi = os.path.join(work, name + ".msi")
            subprocess.run(["wixl", "-a", "x64", "-D", "X86=no", "-D", "ExtensionPolicies=no", "-o", msi, wxs],
                           cwd=release, check=True, capture_output=True)
            sizes[name] = os.path.getsize(msi)
        files = ["vorlane-bridge.exe", "com.vorlane.bridge.json", "com.vorlane.bridge.firefox.json"]
        cab = os.path.join(work, "host.cab")
        subprocess.run(["gcab", "-c", "-n", "-z", cab] + files, cwd=release, check=True, capture_output=True)
        sizes["cab"] = os.path.getsize(cab)
        sizes["files"] = sum(os.path.getsize(os.path.join(release, name)) for name in files)
    return sizes


def main():
    sys.stdout.reconfigure(line_buffering=True)  # a long relay shows its samples as they come
    parser = argparse.ArgumentParser()
    add_chain_arguments(parser)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--relay-seconds", type=int, default=30)
    args = parser.parse_args()
    build = build_folder(args.host)
    runs = max(1, args.runs)

    chain = BrowserChain.from_arguments(args)
    env = dict(os.environ, WINEDEBUG="-all")
    install_updater(build, env)
    # The page host first: it runs its own local client on 127.0.0.1:8000,
    # which the browser chain's counterparts hold from their start on.
    progress("the control in the page host")
    control = [v for v in (control_run_to_connected(build, env) for _ in range(runs)) if v is not None]
    try:
        progress("starting Chromium with the extension")
        chain.start()
        progress("the browser road")
        chain.counterparts.ask("updater install")
        chain.counterparts.ask("client Connected")
        browser = [v for v in (browser_run_to_connected(chain) for _ in range(runs)) if v is not None]
        firsts = [v for v in (browser_first_reply(chain) for _ in range(runs)) if v]
        print("Run() -> OnClientMessage(\"Connected\") (%d runs)" % runs)
        row("through Chromium, the extension and the host", browser)
        row("least work: through the control in the page host", control)
        print("host start: navigation -> (%d runs)" % runs)
        row("the host's first reply", [f[1] for f in firsts])
        row("least work: the API ready (no host)", [f[0] for f in firsts])
        row("difference (the host's start beyond the page's)", [f[1] - f[0] for f in firsts])
        for name, values in (("browser_run_to_connected_ms", browser), ("control_run_to_connected_ms", control),
                             ("host_first_reply_after_navigation_ms", [f[1] for f in firsts]),
                             ("api_ready_after_navigation_ms", [f[0] for f in firsts])):
            if values:
                figure(name, statistics.median(values))

        progress("status relay")
        print("the host's memory over %d s of status relay" % args.relay_seconds)
        memory = relay_memory(chain, args.relay_seconds)
        if memory:
            start, end, events = memory
            growth = end[1] - start[1]
            print("  private bytes growth %d KB, working set growth %d KB, %d events (target: under 1024 KB): %s" % (
                growth, end[0] - start[0], events, "met" if growth < 1024 else "NOT met"))
            figure("host_private_kb_at_start", start[1])
            figure("host_private_kb_growth", growth, "<1024")
            figure("host_working_set_kb_growth", end[0] - start[0], "<1024")
    finally:
        chain.stop()

    progress("package sizes")
    sizes = msi_sizes(build)
    print("bytes the host adds to vorlane.msi")
    print("  package with the host %d, without %d: %d bytes added" % (
        sizes["with"], sizes["without"], sizes["with"] - sizes["without"]))
    print("  the host's three files %d bytes, %d as a compressed cabinet" % (sizes["files"], sizes["cab"]))
    figure("msi_bytes_added_by_host", sizes["with"] - sizes["without"])
    figure("host_files_compressed_bytes", sizes["cab"])


if __name__ == "__main__":
    main()
