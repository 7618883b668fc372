#include "bridge/message_framing.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vorlane {
namespace {

// The pipe's bytes handed out at most `chunk` at a time, as a pipe may.
struct ChunkedSource final : ByteSource {
  ChunkedSource(std::string bytes, std::size_t chunk) : bytes(std::move(bytes)), chunk(chunk) {}
  std::size_t Read(char* buffer, std::size_t capacity) override {
    std::size_t n = std::min({capacity, chunk, bytes.size() - at});
    std::copy_n(bytes.data() + at, n, buffer);
    at += n;
    return n;
  }
  std::string bytes;
  std::size_t chunk;
  std::size_t at = 0;
};


TEST(MessageFraming, LengthIsLittleEndianBeforeTheText) {
  std::string framed = FrameMessage(std::string(0x0102, 'a'));
  ASSERT_EQ(framed.size(), 4u + 0x0102);
  EXPECT_EQ(framed.substr(0, 4), std::string("\x02\x01\x00\x00", 4));
}

TEST(MessageFraming, MessagesSplitAnywhereByThePipeReadWhole) {
  std::string stream = FrameMessage("{\"a\":1}") + FrameMessage("[\"\xE4\xB8\xAD\"]") + FrameMessage("7");
  for (std::size_t chunk : {1u, 2u, 3u, 5u, 64u}) {
    ChunkedSource source(stream, chunk);
    MessageReader reader(source);
    IncomingMessage first = reader.Next(), second = reader.Next(), third = reader.Next();
    EXPECT_EQ(first.kind, IncomingMessage::Kind::kMessage) << chunk;
    EXPECT_EQ(first.text, "{\"a\":1}");
    EXPECT_EQ(second.text, "[\"\xE4\xB8\xAD\"]");
    EXPECT_EQ(third.text, "7");
    EXPECT_EQ(reader.Next().kind, IncomingMessage::Kind::kClosed);
  }
}

TEST(MessageFraming, LengthAtTheLimitIsReadOneOverIsRefusedUnread) {
  std::string atLimit(kMaxIncomingMessage, ' ');
  atLimit.front() = '1';
  ChunkedSource source(FrameMessage(atLimit), 4096);
  MessageReader reader(source);
  IncomingMessage message = reader.Next();
  EXPECT_EQ(message.kind, IncomingMessage::Kind::kMessage);
  EXPECT_EQ(message.text.size(), kMaxIncomingMessage);

  ChunkedSource over(FrameMessage(std::string(kMaxIncomingMessage + 1, ' ')), 4096);
  MessageReader overReader(over);
  IncomingMessage refused = overReader.Next();
  EXPECT_EQ(refused.kind, IncomingMessage::Kind::kTooLong);
  EXPECT_EQ(refused.length, kMaxIncomingMessage + 1);
  EXPECT_EQ(over.at, 4u) << "nothing of a refused message is read";

  ChunkedSource huge(std::string("\xFF\xFF\xFF\xFF", 4), 4);
  MessageReader hugeReader(huge);
  IncomingMessage largest = hugeReader.Next();
  EXPECT_EQ(largest.kind, IncomingMessage::Kind::kTooLong);
  EXPECT_EQ(largest.length, 0xFFFFFFFFu);
}

TEST(MessageFraming, ZeroLengthIsAnEmptyMessageAndTheNextOneStillReads) {
  ChunkedSource source(FrameMessage("") + FrameMessage("{}"), 3);
  MessageReader reader(source);
  EXPECT_EQ(reader.Next().kind, IncomingMessage::Kind::kEmpty);
  IncomingMessage next = reader.Next();
  EXPECT_EQ(next.kind, IncomingMessage::Kind::kMessage);
  EXPECT_EQ(next.text, "{}");
}

TEST(MessageFraming, PipeEndingInsideALengthOrATextIsCutShort) {
  for (std::string stream : {std::string("\x05\x00", 2), FrameMessage("hello").substr(0, 7)}) {
    ChunkedSource source(stream, 1);
    MessageReader reader(source);
    IncomingMessage message = reader.Next();
    EXPECT_EQ(message.kind, IncomingMessage::Kind::kCutShort);
    EXPECT_TRUE(message.text.empty());
  }
  ChunkedSource empty("", 1);
  MessageReader reader(empty);
  EXPECT_EQ(reader.Next().kind, IncomingMessage::Kind::kClosed);
}

}  // namespace
}  // namespace vorlane
