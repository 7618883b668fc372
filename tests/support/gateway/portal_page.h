#pragma once
// The example portal page (examples/portal/index.html), built in.
namespace vorlane::tests {

constexpr char kPortalPageTarget[] = "/portals/index.html";
extern const char kPortalPage[];

}  // namespace vorlane::tests
