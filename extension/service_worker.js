// The extension's background: puts the content script on the portal origins
// of the managed policy, and gives each portal page that connects its own
// native host process, relaying calls, page actions, results and events.
"use strict";

if (typeof VorlanePortalList === "undefined" && typeof importScripts === "function") {
  importScripts("portal_list.js");
}

var VORLANE_HOST = "com.vorlane.bridge";
var VORLANE_PAGE_PORT = "vorlane-page";
var VORLANE_SCRIPT_ID = "vorlane-portal";

function startVorlaneExtension(api) {
  function managedOrigins() {
    return api.storage.managed.get("portals").then(
      function (items) { return VorlanePortalList.origins(items && items.portals); },
      function () { return []; });  // no policy at all: fail closed
  }

  // Replaces the registered content script by one for the current list.
  function registerPortals() {
    return managedOrigins().then(function (origins) {
      return api.scripting.getRegisteredContentScripts({ ids: [VORLANE_SCRIPT_ID] })
        .then(function (found) {
          if (found.length) return api.scripting.unregisterContentScripts({ ids: [VORLANE_SCRIPT_ID] });
        })
        .then(function () {
          if (!origins.length) return;
          return api.scripting.registerContentScripts([{
            id: VORLANE_SCRIPT_ID,
            js: ["content_script.js"],
            matches: VorlanePortalList.matchPatterns(origins),
            runAt: "document_start",
            allFrames: false,
          }]);
        });
    }).catch(function (error) { console.error("vorlane: content script registration failed:", error); });
  }

  // An http(s) address, a relative one taken against the page's; null for
  // anything else (javascript:, data:, garbage).
  function webAddress(text, base) {
    try {
      var url = new URL(String(text), base);
      return url.protocol === "https:" || url.protocol === "http:" ? url.href : null;
    } catch (e) {
      return null;
    }
  }

  // One portal page: its port, its host process and the order of what the
  // host sends (a cookie is in the store before the page hears the result).
  function servePage(port, origin) {
    var host = api.runtime.connectNative(VORLANE_HOST);
    var queue = Promise.resolve();
    var failedActions = {};
    var open = true;
    var pageAddress = port.sender && port.sender.url;  // what relative addresses are taken against

    function toPage(message) {
      if (open) port.postMessage(message);
    }

    function setCookie(message) {
      var details = { url: webAddress(message.url, pageAddress), name: String(message.name), value: String(message.value) };
      if (typeof message.expires === "number") details.expirationDate = message.expires;
      if (typeof message.path === "string") details.path = message.path;
      return api.cookies.set(details).then(function (cookie) {
        if (!cookie) throw new Error("the browser refused the cookie " + details.name);
      });
    }

    function fromHost(message) {
      if (!message || typeof message !== "object") return;
      if (message.event === "OnClientMessage") {
        toPage({ type: "event", name: "OnClientMessage", text: String(message.text) });
        return;
      }
      var id = message.id;
      if (message.action === "setCookie" && webAddress(message.url, pageAddress)) {
        return setCookie(message).catch(function (error) { failedActions[id] = String(error && error.message || error); });
      }
      var target = message.action === "navigate" && webAddress(message.url, pageAddress);
      if (target && (message.how === "assign" || message.how === "replace")) {
        toPage({ type: "navigate", id: id, how: message.how, url: target });
        return;
      }
      if (message.action !== undefined) {
        failedActions[id] = "unknown page action " + JSON.stringify(message.action);
        return;
      }
      if (failedActions[id] !== undefined) {
        toPage({ type: "reply", id: id, error: { code: "failed", message: failedActions[id] } });
        delete failedActions[id];
      } else if ("error" in message) {
        toPage({ type: "reply", id: id, error: message.error });
      } else if ("result" in message) {
        toPage({ type: "reply", id: id, result: message.result });
      }
    }

    host.onMessage.addListener(function (message) {
      queue = queue.then(function () { return fromHost(message); });
    });
    host.onDisconnect.addListener(function () {
      var error = api.runtime.lastError;
      queue = queue.then(function () {
        toPage({ type: "closed", message: error ? error.message : "the native host ended" });
        open = false;
        port.disconnect();
      });
    });

    port.onDisconnect.addListener(function () {
      open = false;
      host.disconnect();  // the host sees its input close and ends
    });

    // Hands a page's call to the host.
    return function call(message) {
      if (!open) return;
      if (!message || message.type !== "call") return;
      if (!Number.isInteger(message.id) || message.id <= 0 || typeof message.member !== "string") return;
      if (message.page && typeof message.page.href === "string") pageAddress = message.page.href;
      host.postMessage({
        id: message.id,
        member: message.member,
        args: Array.isArray(message.args) ? message.args : [],
        origin: origin,  // what the browser says about the sender, never the page's word
        page: message.page || {},
        params: message.params || {},
      });
    };
  }

  api.runtime.onConnect.addListener(function (port) {
    if (port.name !== VORLANE_PAGE_PORT) return;
    var sender = port.sender || {};
    var origin = VorlanePortalList.senderOrigin(sender);
    var waiting = [];  // calls that arrive while the policy is read
    var call = null;
    port.onMessage.addListener(function (message) {
      if (call) call(message);
      else waiting.push(message);
    });
    managedOrigins().then(function (origins) {
      if (!sender.tab || sender.frameId !== 0 || !origin || origins.indexOf(origin) < 0) {
        port.postMessage({ type: "closed", message: "this page is not a listed portal" });
        port.disconnect();
        return;
      }
      call = servePage(port, origin);
      waiting.forEach(call);
    });
  });

  api.runtime.onInstalled.addListener(registerPortals);
  api.runtime.onStartup.addListener(registerPortals);
  api.storage.onChanged.addListener(function (changes, area) {
    if (area === "managed") registerPortals();
  });
  return { registerPortals: registerPortals };
}

if (typeof module !== "undefined") {
  module.exports = startVorlaneExtension;
} else if (typeof chrome !== "undefined" && chrome.runtime && chrome.runtime.id) {
  startVorlaneExtension(chrome);
}
