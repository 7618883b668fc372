// Runs on the listed portal origins only. Carries the page's calls (DOM
// events from vorlane.js) to the extension with the page's context, and
// brings back results, the navigation a call asks for, and events.
"use strict";

(function () {
  var PAGE_PORT = "vorlane-page";
  var NAVIGATION_WAIT_MS = 2000;  // a navigation whose result never comes still happens
  var port = null;
  var pendingNavigation = {};

  function toPage(message) {
    message.vorlane = message.vorlane || "reply";
    window.postMessage(message, window.location.origin);
  }

  // What the control would read from its hosting page, read here from the
  // page itself rather than taken from the page's message.
  function pageContext() {
    return {
      href: location.href, protocol: location.protocol, host: location.host,
      hostname: location.hostname, port: location.port, url: document.URL, cookie: document.cookie,
    };
  }

  // The <object>-style parameters: strings or numbers under the four known names.
  function objectParams(params) {
    var clean = {};
    if (!params || typeof params !== "object") return clean;
    ["ip", "port", "username", "type"].forEach(function (name) {
      var value = params[name];
      if (typeof value === "string" || (typeof value === "number" && isFinite(value))) clean[name] = value;
    });
    return clean;
  }

  function navigate(id) {
    var target = pendingNavigation[id];
    if (!target) return;
    delete pendingNavigation[id];
    clearTimeout(target.timer);
    // After the messages already posted to the page, as the control's
    // navigation follows the script that asked for it.
    setTimeout(function () {
      if (target.how === "replace") location.replace(target.url);
      else location.assign(target.url);
    }, 0);
  }

  function fromExtension(message) {
    if (message.type === "event") {
      toPage({ vorlane: "event", name: message.name, text: message.text });
    } else if (message.type === "navigate") {
      // As with the control, the page hears the result before it is left.
      pendingNavigation[message.id] = {
        how: message.how, url: message.url,
        timer: setTimeout(function () { navigate(message.id); }, NAVIGATION_WAIT_MS),
      };
    } else if (message.type === "reply") {
      var reply = { vorlane: "reply", id: message.id };
      if (message.error) reply.error = message.error;
      else reply.result = message.result;
      toPage(reply);
      navigate(message.id);
    } else if (message.type === "closed") {
      toPage({ vorlane: "closed", message: message.message });
    }
  }

  function connect() {
    port = chrome.runtime.connect({ name: PAGE_PORT });
    port.onMessage.addListener(fromExtension);
    port.onDisconnect.addListener(function () {
      port = null;
      toPage({ vorlane: "closed", message: "the extension closed the connection" });
    });
  }

  // The page's calls: "vorlane-page" DOM events whose detail is JSON text
  // (a string crosses from the page's world into this one as it is).
  document.addEventListener("vorlane-page", function (event) {
    var data;
    try {
      data = JSON.parse(event.detail);
    } catch (e) {
      return;
    }
    if (!data || typeof data !== "object") return;
    if (data.vorlane === "hello") {
      toPage({ vorlane: "ready" });
    } else if (data.vorlane === "call") {
      if (!port) connect();
      port.postMessage({
        type: "call", id: data.id, member: data.member,
        args: Array.isArray(data.args) ? data.args : [],
        page: pageContext(), params: objectParams(data.params),
      });
    }
  });
  toPage({ vorlane: "ready" });
})();
