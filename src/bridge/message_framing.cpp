#include "bridge/message_framing.h"

namespace vorlane {

std::size_t MessageReader::ReadFully(char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    std::size_t got = source_.Read(buffer + done, size - done);
    if (got == 0) break;
    done += got;
  }
  return done;
}

IncomingMessage MessageReader::Next() {
  IncomingMessage message;
  unsigned char prefix[kLengthBytes];
  std::size_t got = ReadFully(reinterpret_cast<char*>(prefix), kLengthBytes);
  if (got == 0) return message;  // kClosed
  if (got < kLengthBytes) {
    message.kind = IncomingMessage::Kind::kCutShort;
    return message;
  }
  message.length = static_cast<std::uint32_t>(prefix[0]) | static_cast<std::uint32_t>(prefix[1]) << 8 |
                   static_cast<std::uint32_t>(prefix[2]) << 16 | static_cast<std::uint32_t>(prefix[3]) << 24;
  if (message.length == 0) {
    message.kind = IncomingMessage::Kind::kEmpty;
    return message;
  }
  if (message.length > kMaxIncomingMessage) {
    message.kind = IncomingMessage::Kind::kTooLong;
    return message;
  }
  message.text.resize(message.length);
  if (ReadFully(message.text.data(), message.length) < message.length) {
    message.kind = IncomingMessage::Kind::kCutShort;
    message.text.clear();
    return message;
  }
  message.kind = IncomingMessage::Kind::kMessage;
  return message;
}

std::string FrameMessage(const std::string& text) {
  auto length = static_cast<std::uint32_t>(text.size());
  std::string framed;
  framed.reserve(kLengthBytes + text.size());
  for (int shift = 0; shift < 32; shift += 8) framed.push_back(static_cast<char>((length >> shift) & 0xFF));
  framed += text;
  return framed;
}

}  // namespace vorlane
