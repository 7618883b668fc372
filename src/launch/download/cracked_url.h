#pragma once
// A URL split into the parts an HTTP request needs.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vorlane {

// INTERNET_SCHEME values.
enum class UrlScheme : int {
  kUnknown = -1,
  kFtp = 1,
  kHttp = 3,
  kHttps = 4,
};

// Each text part must fit a buffer of this many characters with its terminator.
constexpr std::size_t kUrlPartCapacity = 256;

class CrackedUrl {
 public:
  virtual ~CrackedUrl() = default;

  // Splits "scheme://[user@]host[:port][/path][?query][#fragment]". Returns
  // false and changes nothing when the URL is malformed (no scheme, no host
  // for HTTP(S), a port that is not 0..65535, white space or control
  // characters in the host) or a part does not fit kUrlPartCapacity.
  bool Crack(const char16_t* url);

  const std::u16string& Url() const { return url_; }
  UrlScheme Scheme() const { return scheme_; }
  const std::u16string& Host() const { return host_; }
  std::uint16_t Port() const { return port_; }
  const std::u16string& Path() const { return path_; }
  // The query and fragment, with the leading "?" or "#".
  const std::u16string& ExtraInfo() const { return extraInfo_; }

 private:
  std::u16string url_;
  UrlScheme scheme_ = UrlScheme::kHttp;
  std::u16string host_;
  std::uint16_t port_ = 0;
  std::u16string path_;
  std::u16string extraInfo_;
};

}  // namespace vorlane
