#pragma once
// The example portal page (examples/portal/index.html) and its script, built in.
namespace vorlane::tests {

constexpr char kPortalPageTarget[] = "/portals/index.html";
extern const char kPortalPage[];
constexpr char kPortalScriptTarget[] = "/portals/vorlane.js";
extern const char kPortalScript[];

}  // namespace vorlane::tests
