#pragma once
// The browsers' native messaging framing: each message is a 32-bit
// little-endian length followed by that many bytes of UTF-8 JSON.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vorlane {

// What the host accepts from the browser; a longer message cannot be skipped
// safely (its length may be garbage), so the host refuses it and ends.
constexpr std::uint32_t kMaxIncomingMessage = 1024 * 1024;
// What the browsers accept from a host.
constexpr std::uint32_t kMaxOutgoingMessage = 1024 * 1024;
constexpr std::size_t kLengthBytes = 4;

// The browser's side of the pipe as the reader sees it.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `capacity` bytes into `buffer`; 0 when the pipe is closed or broken.
  virtual std::size_t Read(char* buffer, std::size_t capacity) = 0;
};

struct IncomingMessage {
  enum class Kind {
    kMessage,    // text holds the bytes of the message
    kEmpty,      // a zero length: no message to parse
    kTooLong,    // length is over kMaxIncomingMessage; nothing of it was read
    kClosed,     // the pipe ended between messages
    kCutShort,   // the pipe ended inside a length or a message
  };
  Kind kind = Kind::kClosed;
  std::uint32_t length = 0;
  std::string text;
};

// Reads one message at a time, however the pipe splits the bytes.
class MessageReader {
 public:
  explicit MessageReader(ByteSource& source) : source_(source) {}
  IncomingMessage Next();

 private:
  // Fills `size` bytes; the count read when the pipe ended first.
  std::size_t ReadFully(char* buffer, std::size_t size);
  ByteSource& source_;
};

// The length prefix and the text, ready to write. The caller keeps texts
// under kMaxOutgoingMessage.
std::string FrameMessage(const std::string& text);

}  // namespace vorlane
