// A stand-in for the browser around the extension's scripts and vorlane.js:
// ports and events that deliver asynchronously as the browser's do, a page
// window with postMessage, and the few extension APIs the scripts use. The
// scripts run unchanged, each in its own context as in a browser.
"use strict";
const fs = require("node:fs");
const path = require("node:path");
const vm = require("node:vm");

const root = path.resolve(__dirname, "..", "..");

class FakeEvent {
  constructor() { this.listeners = []; }
  addListener(fn) { this.listeners.push(fn); }
  removeListener(fn) { this.listeners = this.listeners.filter((l) => l !== fn); }
  emit(...args) { for (const fn of [...this.listeners]) fn(...args); }
}

// Lets every message and task queued so far be delivered.
function settle(rounds = 20) {
  let chain = Promise.resolve();
  for (let i = 0; i < rounds; i++) chain = chain.then(() => new Promise((r) => setImmediate(r)));
  return chain;
}

// Waits, a bounded time, for cond() to hold: timers in the scripts run late on a busy machine.
async function until(cond, ms = 2000) {
  const deadline = Date.now() + ms;
  while (!cond() && Date.now() < deadline) await new Promise((r) => setTimeout(r, 5));
  return cond();
}

// Two connected ends; what one posts the other receives, cloned, later.
function portPair(name, sender) {
  const make = () => ({ name, sender, onMessage: new FakeEvent(), onDisconnect: new FakeEvent(), sent: [], closed: false });
  const a = make(), b = make();
  for (const [self, other] of [[a, b], [b, a]]) {
    self.postMessage = (message) => {
      if (self.closed) throw new Error("postMessage on a closed port");
      self.sent.push(message);
      const copy = JSON.parse(JSON.stringify(message));
      setImmediate(() => { if (!other.closed) other.onMessage.emit(copy, other); });
    };
    self.disconnect = () => {
      if (self.closed) return;
      self.closed = true;
      setImmediate(() => { if (!other.closed) { other.closed = true; other.onDisconnect.emit(other); } });
    };
  }
  return [a, b];
}

function runScript(file, context) {
  vm.createContext(context);
  vm.runInContext(fs.readFileSync(path.join(root, file), "utf8"), context, { filename: file });
  return context;
}

// The service worker with its APIs. policy: the managed "portals" value
// (undefined: no policy).
function loadServiceWorker({ policy } = {}) {
  const browser = {
    managed: policy === undefined ? {} : { portals: policy },
    registered: [],
    cookies: [],
    refuseCookies: false,
    cookieDelayMs: 0,
    onHost: null,  // called with the host's end of each new native port
    hosts: [],  // one per connectNative: {name, port: the host's end, received: what it was sent}
  };
  const chrome = {
    runtime: {
      id: "abcdefghijklmnopabcdefghijklmnop", lastError: undefined,
      onConnect: new FakeEvent(), onInstalled: new FakeEvent(), onStartup: new FakeEvent(),
      connectNative(name) {
        const [extensionEnd, hostEnd] = portPair(name);
        browser.hosts.push({ name, port: hostEnd, received: extensionEnd.sent });
        if (browser.onHost) browser.onHost(hostEnd);
        return extensionEnd;
      },
    },
    storage: {
      managed: { get: async (key) => (key in browser.managed ? { [key]: browser.managed[key] } : {}) },
      onChanged: new FakeEvent(),
    },
    scripting: {
      getRegisteredContentScripts: async ({ ids }) => browser.registered.filter((s) => ids.includes(s.id)),
      registerContentScripts: async (scripts) => { browser.registered.push(...JSON.parse(JSON.stringify(scripts))); },
      unregisterContentScripts: async ({ ids }) => { browser.registered = browser.registered.filter((s) => !ids.includes(s.id)); },
    },
    cookies: {
      set: (details) => new Promise((resolve) => setTimeout(() => {
        if (browser.refuseCookies) return resolve(null);
        browser.cookies.push(JSON.parse(JSON.stringify(details)));
        resolve({ ...details });
      }, browser.cookieDelayMs)),
    },
  };
  browser.chrome = chrome;
  const context = { chrome, console, URL, Promise, Number, Array, JSON, String, setTimeout, clearTimeout };
  runScript("extension/portal_list.js", context);
  runScript("extension/service_worker.js", context);
  // A page of the given address connects from a tab's top frame.
  browser.connectPage = (href, { frameId = 0, origin } = {}) => {
    const sender = { tab: { id: 1 }, frameId, url: href, origin: origin || new URL(href).origin };
    const [pageEnd, workerEnd] = portPair("vorlane-page", sender);
    chrome.runtime.onConnect.emit(workerEnd);
    return pageEnd;
  };
  return browser;
}

// A page's window: location, document.cookie, postMessage to listeners.
function fakeWindow(href, cookie = "") {
  const url = new URL(href);
  const navigations = [];
  const timeline = [];  // what the page was sent and where it was sent, in order
  const listeners = [];
  const documentListeners = {};
  const posted = [];
  const window = {
    location: {
      href, origin: url.origin, protocol: url.protocol, host: url.host, hostname: url.hostname, port: url.port,
      assign: (to) => { navigations.push(["assign", to]); timeline.push(["assign", to]); },
      replace: (to) => { navigations.push(["replace", to]); timeline.push(["replace", to]); },
    },
    document: {
      URL: href, cookie,
      // DOM events run their listeners at once, as the browser does.
      addEventListener(type, fn) { (documentListeners[type] = documentListeners[type] || []).push(fn); },
      dispatchEvent(event) {
        timeline.push(["event", event.type, event.detail]);
        (documentListeners[event.type] || []).forEach((fn) => fn(event));
        return true;
      },
    },
    CustomEvent: class { constructor(type, init) { this.type = type; this.detail = init && init.detail; } },
    navigations, posted, timeline,
    addEventListener(type, fn) { if (type === "message") listeners.push(fn); },
    postMessage(data, targetOrigin) {
      if (targetOrigin !== url.origin) throw new Error("postMessage to " + targetOrigin);
      const copy = JSON.parse(JSON.stringify(data));
      posted.push(copy);
      timeline.push(copy);
      setImmediate(() => listeners.forEach((fn) => fn({ source: window, data: copy })));
    },
    setTimeout, clearTimeout, Promise, Error, Object, Number, String, Array, JSON,
  };
  window.window = window;
  return window;
}

// The content script in a page window, its runtime.connect going to `connect`.
function loadContentScript(window, connect) {
  const chrome = { runtime: { connect: ({ name }) => connect(name) } };
  runScript("extension/content_script.js", {
    window, location: window.location, document: window.document, chrome, setTimeout, clearTimeout, URL, console,
  });
}

function loadPageApi(window) {
  // Like the content script, in a context of its own whose `window` is the page's.
  runScript("examples/portal/vorlane.js", { window, console });
  return window.Vorlane;
}

module.exports = { FakeEvent, settle, until, portPair, loadServiceWorker, fakeWindow, loadContentScript, loadPageApi };
