// The portal origins an administrator lists in the extension's managed policy
// ("portals"). Only exact https origins count; anything else in the list is
// ignored, and a missing or empty list leaves no page with the API.
"use strict";

var VorlanePortalList = (function () {
  // "https://gw.example" or "https://gw.example:8443" (a trailing "/" is
  // tolerated); null for anything else, including paths, http and wildcards.
  function originOf(entry) {
    if (typeof entry !== "string") return null;
    var text = entry.trim().replace(/\/$/, "");
    var url;
    try {
      url = new URL(text);
    } catch (e) {
      return null;
    }
    if (url.protocol !== "https:" || url.username || url.password) return null;
    // A path, query or fragment, or a wildcard host, is not an origin.
    if (url.pathname !== "/" || /[?#]/.test(text)) return null;
    if (url.hostname.indexOf("*") >= 0) return null;
    return url.origin;
  }

  // The distinct valid origins of a managed "portals" value. An entry may
  // hold several origins separated by ";" or white space: the installer
  // writes the list it was given as one entry.
  function origins(portals) {
    if (!Array.isArray(portals)) return [];
    var seen = [];
    portals.forEach(function (entry) {
      var parts = typeof entry === "string" ? entry.split(/[;\s]+/) : [entry];
      parts.forEach(function (part) {
        var origin = part === "" ? null : originOf(part);
        if (origin && seen.indexOf(origin) < 0) seen.push(origin);
      });
    });
    return seen;
  }

  // Match patterns for content scripts: every page of each origin. A match
  // pattern carries no port, so the origin check on connect is the one that
  // counts; the patterns only keep the script away from other hosts.
  function matchPatterns(originList) {
    var patterns = [];
    originList.forEach(function (origin) {
      var pattern = "https://" + new URL(origin).hostname + "/*";
      if (patterns.indexOf(pattern) < 0) patterns.push(pattern);
    });
    return patterns;
  }

  // The origin the browser reports for a message's sender: MessageSender.origin
  // where the browser has it, else the origin of the sender's URL.
  function senderOrigin(sender) {
    if (!sender) return null;
    if (typeof sender.origin === "string" && sender.origin !== "null") return sender.origin;
    if (typeof sender.url !== "string") return null;
    try {
      return new URL(sender.url).origin;
    } catch (e) {
      return null;
    }
  }

  return { originOf: originOf, origins: origins, matchPatterns: matchPatterns, senderOrigin: senderOrigin };
})();

if (typeof module !== "undefined") module.exports = VorlanePortalList;
