"use strict";
// vorlane.js in a page, through the content script and the service worker
// to a fake native host; and vorlane.js over a fake ActiveX control.
const test = require("node:test");
const assert = require("node:assert/strict");
const { settle, until, loadServiceWorker, fakeWindow, loadContentScript, loadPageApi } = require("./fake_browser.js");

const PORTAL = "https://gw.example:8443/portals/index.html";

// A portal page with the extension present; the host answers through `answer`.
async function portalPage(answer, { href = PORTAL, cookie = "Varnex_SSLID=abc; lang=en" } = {}) {
  const browser = loadServiceWorker({ policy: ["https://gw.example:8443"] });
  const window = fakeWindow(href, cookie);
  loadContentScript(window, () => browser.connectPage(href));
  const Vorlane = loadPageApi(window);
  const calls = [];
  browser.onHost = (host) => host.onMessage.addListener((call) => { calls.push(call); answer(call, host); });
  return { browser, window, Vorlane, calls };
}

test("each member goes to the host with the page's context and comes back as a promise", async () => {
  const page = await portalPage((call, host) => {
    const results = { Run: true, RunCmd: 0, Close: null, ResetUrl: false };
    if (call.member in results) host.postMessage({ id: call.id, result: results[call.member] });
    else host.postMessage({ id: call.id, error: { code: "bad-request", message: "unknown member" } });
  });
  const objectParams = { ip: "gw.example", port: "8443", username: "alice", type: 0, origin: "https://evil.example" };
  const vpn = page.Vorlane.attach(objectParams);
  assert.equal(await vpn.ready, "extension");
  assert.equal(await vpn.Run(), true);
  assert.equal(await vpn.RunCmd("notepad.exe", 1), 0);
  assert.equal(await vpn.Close(1), null);
  assert.equal(await vpn.ResetUrl(), false);
  await assert.rejects(vpn.GetPCHardInfo(), (e) => e.code === "bad-request" && e.message === "unknown member");

  const [run, runCmd, close] = page.calls;
  assert.equal(run.origin, "https://gw.example:8443");
  assert.deepEqual(run.params, { ip: "gw.example", port: "8443", username: "alice", type: 0 });
  assert.deepEqual(run.page, { href: PORTAL, protocol: "https:", host: "gw.example:8443", hostname: "gw.example",
                               port: "8443", url: PORTAL, cookie: "Varnex_SSLID=abc; lang=en" });
  assert.deepEqual(runCmd.args, ["notepad.exe", true]);
  assert.deepEqual(close.args, [1]);
});

test("events reach OnClientMessage in order, and a navigation waits for the call's result", async () => {
  const page = await portalPage((call, host) => {
    host.postMessage({ event: "OnClientMessage", text: "Connecting" });
    host.postMessage({ id: call.id, action: "navigate", how: "replace", url: "https://gw.example:8443/verify" });
    host.postMessage({ event: "OnClientMessage", text: "Connected" });
    host.postMessage({ id: call.id, result: null });
  });
  const vpn = page.Vorlane.attach({ type: "0" });
  const states = [];
  vpn.OnClientMessage = (text) => states.push(text);
  const result = await vpn.GetPCHardInfo();
  assert.equal(result, null);
  assert.deepEqual(states, ["Connecting", "Connected"]);
  await until(() => page.window.navigations.length > 0);
  const fromExtension = page.window.timeline.filter((m) => (m.vorlane ? ["event", "reply"].includes(m.vorlane)
                                                                       : m[0] !== "event"));
  assert.deepEqual(fromExtension.map((m) => m.text || m.vorlane || m[0]), ["Connecting", "Connected", "reply", "replace"]);
  assert.deepEqual(page.window.navigations, [["replace", "https://gw.example:8443/verify"]]);
});

test("a host that ends fails the calls still waiting", async () => {
  const page = await portalPage((call, host) => host.disconnect());
  const vpn = page.Vorlane.attach({});
  await assert.rejects(vpn.Run(), (e) => e.code === "closed");
});

test("without the control or the extension the page gets a clear refusal", async () => {
  const window = fakeWindow("https://elsewhere.example/");
  const vpn = loadPageApi(window).attach({ waitMs: 30 });
  await assert.rejects(vpn.ready, (e) => e.code === "unavailable");
  await assert.rejects(vpn.Run(), (e) => e.code === "unavailable");
  const toExtension = window.timeline.filter((m) => m[0] === "event").map((m) => JSON.parse(m[2]).vorlane);
  assert.deepEqual(toExtension, ["hello"]);  // no call left the page
});

test("a live control is called directly, its answers and throws as promises", async () => {
  const window = fakeWindow(PORTAL);
  const seen = [];
  let relay = null;
  const control = {
    tagName: "OBJECT",
    Run: (w) => { seen.push(["Run", w === window]); return false; },
    RunCmd: (cmd, async) => { seen.push(["RunCmd", cmd, async]); return 0; },
    Close: (flag) => { seen.push(["Close", flag]); },
    ResetUrl: () => true,
    GetPCHardInfo: (location) => { seen.push(["GetPCHardInfo", location === window.location]); throw new Error("denied"); },
    attachEvent: (name, fn) => { seen.push(["attachEvent", name]); relay = fn; },
  };
  const vpn = loadPageApi(window).attach(control);
  assert.equal(vpn.kind, "activex");
  const states = [];
  vpn.OnClientMessage = (text) => states.push(text);
  relay("Connected");
  assert.equal(await vpn.Run(), false);
  assert.equal(await vpn.RunCmd("cmd.exe", "yes"), 0);
  await vpn.Close(1);
  assert.equal(await vpn.ResetUrl(), true);
  await assert.rejects(vpn.GetPCHardInfo(), /denied/);
  assert.deepEqual(states, ["Connected"]);
  assert.deepEqual(seen, [["attachEvent", "OnClientMessage"], ["Run", true], ["RunCmd", "cmd.exe", true], ["Close", 1],
                          ["GetPCHardInfo", true]]);
});

test("an <object> the browser could not load reads its <param> values for the extension", async () => {
  const page = await portalPage((call, host) => host.postMessage({ id: call.id, result: true }));
  const params = [["ip", "gw.example"], ["PORT", "8443"], ["username", "bob"], ["type", "3"], ["codebase", "x"]];
  const element = {
    tagName: "OBJECT",
    getElementsByTagName: () => params.map(([name, value]) => ({ getAttribute: (a) => (a === "name" ? name : value) })),
  };
  const vpn = page.Vorlane.attach(element);
  assert.equal(await vpn.Run(), true);
  assert.deepEqual(page.calls[0].params, { ip: "gw.example", port: "8443", username: "bob", type: "3" });
});
