"use strict";
const test = require("node:test");
const assert = require("node:assert/strict");
const { settle, until, loadServiceWorker } = require("./fake_browser.js");
const portalList = require("../../extension/portal_list.js");

const PORTAL = "https://gw.example:8443/portals/index.html";

test("only exact https origins of the managed list count", () => {
  assert.deepEqual(
    portalList.origins(["https://GW.example:8443/", "http://plain.example", "https://gw.example/portals", "https://*.example",
                        "https://user:pw@gw.example", "https://q.example?x", 7, "https://gw.example:8443", "https://d.example:443"]),
    ["https://gw.example:8443", "https://d.example"]);
  // The installer's form: one entry with the origins separated by ";".
  assert.deepEqual(portalList.origins(["https://a.example;https://b.example:8443; http://c.example;", "https://a.example"]),
                   ["https://a.example", "https://b.example:8443"]);
  assert.deepEqual(portalList.origins(undefined), []);
  assert.deepEqual(portalList.origins("https://gw.example"), []);
  // The browser's word on the sender wins over the sender's URL.
  assert.equal(portalList.senderOrigin({ origin: "https://a.example", url: "https://b.example/" }), "https://a.example");
  assert.equal(portalList.senderOrigin({ url: "https://b.example:444/x?y" }), "https://b.example:444");
});

test("the content script follows the managed list and is absent without one", async () => {
  const browser = loadServiceWorker();
  browser.chrome.runtime.onInstalled.emit();
  await settle();
  assert.deepEqual(browser.registered, []);

  browser.managed.portals = ["https://gw.example:8443", "https://other.example"];
  browser.chrome.storage.onChanged.emit({ portals: {} }, "managed");
  await settle();
  assert.equal(browser.registered.length, 1);
  assert.deepEqual(browser.registered[0].matches, ["https://gw.example/*", "https://other.example/*"]);
  assert.deepEqual(browser.registered[0].js, ["content_script.js"]);

  browser.managed.portals = [];
  browser.chrome.storage.onChanged.emit({ portals: {} }, "managed");
  await settle();
  assert.deepEqual(browser.registered, []);
});

test("pages off the list, in frames or without a policy get no host", async () => {
  for (const [policy, href, options] of [
    [undefined, PORTAL, {}],
    [["https://gw.example:8443"], "https://gw.example:9443/portals/index.html", {}],  // same host, other port
    [["https://gw.example:8443"], PORTAL, { frameId: 3 }],
    [["https://gw.example:8443"], "https://evil.example/", { origin: "https://evil.example" }],
  ]) {
    const browser = loadServiceWorker({ policy });
    const page = browser.connectPage(href, options);
    page.postMessage({ type: "call", id: 1, member: "Run", args: [] });
    const heard = [];
    page.onMessage.addListener((m) => heard.push(m));
    let disconnected = false;
    page.onDisconnect.addListener(() => { disconnected = true; });
    await settle();
    assert.equal(browser.hosts.length, 0, href);
    assert.equal(heard[0].type, "closed");
    assert.ok(disconnected);
  }
});

test("a call reaches the host with the browser's origin, whatever the page claims", async () => {
  const browser = loadServiceWorker({ policy: ["https://gw.example:8443"] });
  const page = browser.connectPage(PORTAL);
  // Sent before the policy is read: held, not lost.
  page.postMessage({ type: "call", id: 4, member: "RunCmd", args: ["calc.exe", true], origin: "https://evil.example",
                     page: { href: PORTAL, cookie: "Varnex_SSLID=1" }, params: { type: "0" } });
  page.postMessage({ type: "call", id: 0, member: "Run" });       // not a positive id: dropped
  page.postMessage({ type: "call", id: 5, member: "ResetUrl" });
  await settle();
  assert.equal(browser.hosts.length, 1);
  assert.equal(browser.hosts[0].name, "com.vorlane.bridge");
  page.postMessage({ type: "call", id: 6, member: "Close", args: [1] });
  await settle();
  const received = JSON.parse(JSON.stringify(browser.hosts[0].received));
  assert.deepEqual(received.map((m) => [m.id, m.member, m.origin]),
                   [[4, "RunCmd", "https://gw.example:8443"], [5, "ResetUrl", "https://gw.example:8443"],
                    [6, "Close", "https://gw.example:8443"]]);
  assert.deepEqual(received[0], { id: 4, member: "RunCmd", args: ["calc.exe", true], origin: "https://gw.example:8443",
                                  page: { href: PORTAL, cookie: "Varnex_SSLID=1" }, params: { type: "0" } });
  assert.deepEqual(received[1].args, []);
});

// A connected portal page and its host, with what each end hears.
async function connected() {
  const browser = loadServiceWorker({ policy: ["https://gw.example:8443"] });
  const page = browser.connectPage(PORTAL);
  const heard = [];
  page.onMessage.addListener((m) => heard.push(m));
  page.postMessage({ type: "call", id: 1, member: "GetPCHardInfo", args: [] });
  await settle();
  const host = browser.hosts[0].port;
  return { browser, page, host, heard };
}

test("the cookie is in the store before the page hears of the navigation and the result", async () => {
  const { browser, host, heard } = await connected();
  browser.cookieDelayMs = 30;
  host.postMessage({ id: 1, action: "setCookie", url: "https://gw.example:8443/", name: "MAC_Addr", value: "02:00:00:00:00:01",
                     expires: 1799999999, path: "/" });
  host.postMessage({ id: 1, action: "navigate", how: "replace", url: "../verify" });  // relative: against the page
  host.postMessage({ id: 1, result: null });
  host.postMessage({ event: "OnClientMessage", text: "Connected" });
  await settle();
  assert.deepEqual(heard, []);  // nothing overtakes the cookie
  await until(() => heard.length === 3);
  assert.deepEqual(browser.cookies, [{ url: "https://gw.example:8443/", name: "MAC_Addr", value: "02:00:00:00:00:01",
                                       expirationDate: 1799999999, path: "/" }]);
  assert.deepEqual(heard, [
    { type: "navigate", id: 1, how: "replace", url: "https://gw.example:8443/verify" },
    { type: "reply", id: 1, result: null },
    { type: "event", name: "OnClientMessage", text: "Connected" },
  ]);
});

test("a refused cookie or a bad action turns the result into an error", async () => {
  const { browser, host, heard } = await connected();
  browser.refuseCookies = true;
  host.postMessage({ id: 1, action: "setCookie", url: "https://gw.example:8443/", name: "MAC_Addr", value: "x" });
  host.postMessage({ id: 1, result: null });
  host.postMessage({ id: 2, action: "navigate", how: "assign", url: "javascript:alert(1)" });
  host.postMessage({ id: 2, result: true });
  host.postMessage({ id: 3, error: { code: "refused", message: "not allowed" } });
  await until(() => heard.length === 3);
  await settle();
  assert.equal(heard.length, 3);
  assert.deepEqual(heard.map((m) => [m.id, m.error && m.error.code]), [[1, "failed"], [2, "failed"], [3, "refused"]]);
  assert.ok(!heard.some((m) => m.type === "navigate"));
});

test("either end closing closes the other", async () => {
  let { browser, page, host, heard } = await connected();
  browser.chrome.runtime.lastError = { message: "Native host has exited." };
  host.disconnect();
  let pageClosed = false;
  page.onDisconnect.addListener(() => { pageClosed = true; });
  await settle();
  assert.deepEqual(heard, [{ type: "closed", message: "Native host has exited." }]);
  assert.ok(pageClosed);

  ({ page, host } = await connected());
  let hostClosed = false;
  host.onDisconnect.addListener(() => { hostClosed = true; });
  page.disconnect();
  await settle();
  assert.ok(hostClosed);
});
