#pragma once
// The cookies the process's WinINet store holds for an address, one
// "name=value" each, as a browser would send them there.
#include <string>
#include <vector>

namespace vorlane::host {

std::vector<std::u16string> CookiesFor(const std::u16string& url);

}  // namespace vorlane::host
