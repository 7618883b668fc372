// One page API for the SSL VPN client, whatever the browser:
//   var vpn = Vorlane.attach(document.getElementById("vorlane"));
//   vpn.OnClientMessage = function (state) { ... };
//   vpn.Run().then(function (started) { ... });
// Where the browser runs the ActiveX control (Internet Explorer, Edge's IE
// mode) the calls go to the <object>; elsewhere to the browser extension,
// which exists only on the portal origins an administrator listed. Every
// member returns a promise (a resolved one for the control's synchronous
// answers); vpn.ready tells which of the two serves the page, or fails with
// an Error whose code is "unavailable". Written for old browsers too: ES5.
(function (global) {
  "use strict";

  var PARAM_NAMES = ["ip", "port", "username", "type"];
  var DEFAULT_WAIT_MS = 1500;  // how long to wait for the extension to answer
  var nextId = 1;              // shared by every attached API so that replies never mix

  // A promise, or where the browser has none (Internet Explorer) a minimal
  // already-settled stand-in with then() and catch().
  function settled(ok, value) {
    if (typeof global.Promise === "function") {
      return ok ? global.Promise.resolve(value) : global.Promise.reject(value);
    }
    var self = {
      then: function (onResolved, onRejected) {
        var next = ok ? onResolved : onRejected;
        if (typeof next !== "function") return self;
        try {
          return settled(true, next(value));
        } catch (e) {
          return settled(false, e);
        }
      },
    };
    self["catch"] = function (onRejected) { return self.then(null, onRejected); };
    return self;
  }

  function failure(code, message) {
    var error = new Error(message);
    error.code = code;
    return error;
  }

  function isElement(value) {
    return value && typeof value === "object" && typeof value.tagName === "string";
  }

  // A live ActiveX control answers for its members; an <object> the browser
  // could not load has none ("unknown" is how IE types a COM method).
  function isLiveControl(element) {
    if (!isElement(element)) return false;
    try {
      var kind = typeof element.Run;
      return kind === "function" || kind === "unknown";
    } catch (e) {
      return false;
    }
  }

  // The <param> values of an <object>, or the options' own.
  function paramsOf(target) {
    var params = {};
    var i;
    if (isElement(target)) {
      var children = target.getElementsByTagName("param");
      for (i = 0; i < children.length; i++) {
        var name = String(children[i].getAttribute("name") || "").toLowerCase();
        if (PARAM_NAMES.indexOf(name) >= 0) params[name] = children[i].getAttribute("value");
      }
    } else if (target && typeof target === "object") {
      var source = target.params || target;
      for (i = 0; i < PARAM_NAMES.length; i++) {
        var value = source[PARAM_NAMES[i]];
        if (typeof value === "string" || typeof value === "number") params[PARAM_NAMES[i]] = value;
      }
    }
    return params;
  }

  function controlApi(control) {
    var api = { kind: "activex", OnClientMessage: null };
    function call(action) {
      try {
        return settled(true, action());
      } catch (e) {
        return settled(false, e);
      }
    }
    api.ready = settled(true, "activex");
    api.Run = function () { return call(function () { return control.Run(global); }); };
    api.RunCmd = function (cmd, async) { return call(function () { return control.RunCmd(cmd, !!async); }); };
    api.Close = function (flag) { return call(function () { return control.Close(flag); }); };
    api.ResetUrl = function () { return call(function () { return control.ResetUrl(); }); };
    api.GetPCHardInfo = function () { return call(function () { return control.GetPCHardInfo(global.location); }); };
    var relay = function (text) {
      if (typeof api.OnClientMessage === "function") api.OnClientMessage(text);
    };
    if (control.attachEvent) control.attachEvent("OnClientMessage", relay);
    else if (control.addEventListener) control.addEventListener("OnClientMessage", relay);
    return api;
  }

  // To the extension's content script: a DOM event, delivered at once, so
  // that a call made as the page goes away (Close(1) on pagehide) still
  // leaves before the document does. Its answers come back as window messages.
  function toExtension(message) {
    global.document.dispatchEvent(new global.CustomEvent("vorlane-page", { detail: JSON.stringify(message) }));
  }

  function extensionApi(params, waitMs) {
    var api = { kind: "extension", OnClientMessage: null };
    var pending = {};
    var whenReady = null, whenAbsent = null, found = false;

    api.ready = new global.Promise(function (resolve, reject) {
      whenReady = resolve;
      whenAbsent = reject;
    });
    var timer = global.setTimeout(function () {
      whenAbsent(failure("unavailable", "Neither the SSL VPN control nor the browser extension is available on this page."));
    }, waitMs);

    function rejectAll(error) {
      for (var id in pending) {
        if (Object.prototype.hasOwnProperty.call(pending, id)) pending[id].reject(error);
      }
      pending = {};
    }

    global.addEventListener("message", function (event) {
      var data = event.data;
      if (event.source !== global || !data || typeof data !== "object") return;
      if (data.vorlane === "ready" && !found) {
        found = true;
        global.clearTimeout(timer);
        whenReady("extension");
      } else if (data.vorlane === "reply" && pending[data.id]) {
        var waiter = pending[data.id];
        delete pending[data.id];
        if (data.error) waiter.reject(failure(data.error.code || "failed", data.error.message || "the call failed"));
        else waiter.resolve(data.result);
      } else if (data.vorlane === "event" && data.name === "OnClientMessage") {
        if (typeof api.OnClientMessage === "function") api.OnClientMessage(data.text);
      } else if (data.vorlane === "closed") {
        rejectAll(failure("closed", data.message || "the connection to the SSL VPN client ended"));
      }
    });

    function call(member, args) {
      return api.ready.then(function () {
        return new global.Promise(function (resolve, reject) {
          var id = nextId++;
          pending[id] = { resolve: resolve, reject: reject };
          toExtension({ vorlane: "call", id: id, member: member, args: args, params: params });
        });
      });
    }
    api.Run = function () { return call("Run", []); };
    api.RunCmd = function (cmd, async) { return call("RunCmd", [String(cmd), !!async]); };
    api.Close = function (flag) { return call("Close", [Number(flag) || 0]); };
    api.ResetUrl = function () { return call("ResetUrl", []); };
    api.GetPCHardInfo = function () { return call("GetPCHardInfo", []); };

    toExtension({ vorlane: "hello" });
    return api;
  }

  function unavailableApi() {
    var error = failure("unavailable", "Neither the SSL VPN control nor the browser extension is available in this browser.");
    var refuse = function () { return settled(false, error); };
    return {
      kind: "none", OnClientMessage: null, ready: settled(false, error),
      Run: refuse, RunCmd: refuse, Close: refuse, ResetUrl: refuse, GetPCHardInfo: refuse,
    };
  }

  // target: the <object> element of the control, or options
  // {ip, port, username, type} (or {params: {...}}) and waitMs.
  function attach(target) {
    if (isLiveControl(target)) return controlApi(target);
    if (typeof global.Promise !== "function" || typeof global.CustomEvent !== "function" ||
        typeof global.addEventListener !== "function") {
      return unavailableApi();
    }
    var waitMs = target && !isElement(target) && typeof target.waitMs === "number" ? target.waitMs : DEFAULT_WAIT_MS;
    return extensionApi(paramsOf(target), waitMs);
  }

  global.Vorlane = { attach: attach };
  if (typeof module !== "undefined" && module.exports) module.exports = global.Vorlane;
})(typeof window !== "undefined" ? window : this);
