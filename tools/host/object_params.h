#pragma once
// The <param> values of an <object> in a page's HTML, as a browser hands them
// to the control it creates for that tag.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vorlane::host {

using ObjectParams = std::vector<std::pair<std::string, std::string>>;

// The name/value pairs of the <param> tags inside the first <object> whose
// classid is "clsid:" followed by `clsid` (braces absent, any case), in page
// order, with character references decoded. Nothing when no such <object>.
std::optional<ObjectParams> ReadObjectParams(const std::string& html, const std::string& clsid);

}  // namespace vorlane::host
