#include "status/notification_text.h"

#include <gtest/gtest.h>

#include <string>

#include "status/utf8_decoder.h"

namespace vorlane {
namespace {

std::u16string Convert(const std::string& text) {
  Utf8Decoder decoder;
  char16_t buffer[kNotificationCapacity];
  std::size_t length = ConvertNotificationText(decoder, text.c_str(), buffer);
  EXPECT_EQ(buffer[length], 0);
  return std::u16string(buffer, length);
}

std::u16string Decode(const std::string& bytes) {
  Utf8Decoder decoder;
  std::u16string out(decoder.ToUtf16(bytes.data(), bytes.size(), nullptr, 0), u'\0');
  EXPECT_EQ(decoder.ToUtf16(bytes.data(), bytes.size(), out.data(), out.size()), out.size());
  return out;
}

TEST(NotificationText, LongestAsciiTextIsKeptWhole) {
  std::string text(127, 'a');
  text[0] = 'C';
  text[126] = 'z';
  std::u16string converted = Convert(text);
  ASSERT_EQ(converted.size(), 127u);
  EXPECT_EQ(converted.front(), u'C');
  EXPECT_EQ(converted.back(), u'z');
}

TEST(NotificationText, EmptyAndChinese) {
  EXPECT_EQ(Convert(""), u"");
  EXPECT_EQ(Convert("\xE5\xB7\xB2\xE8\xBF\x9E\xE6\x8E\xA5"), u"\u5df2\u8fde\u63a5");  // 9 bytes, 3 characters
  EXPECT_EQ(Convert("Connected"), u"Connected");
}

TEST(NotificationText, InvalidBytesBecomeReplacementCharacters) {
  EXPECT_EQ(Convert("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(Convert("\x80"), u"\uFFFD");
}

TEST(NotificationText, OverlongTextIsCutAtASequenceBoundaryWithinTheBuffer) {
  // 200 bytes of ASCII: the first 127 characters.
  EXPECT_EQ(Convert(std::string(200, 'x')), std::u16string(127, u'x'));
  // A text whose characters fit the buffer is kept whole beyond 127 bytes.
  std::string sixty;
  for (int i = 0; i < 60; ++i) sixty += "\xE4\xB8\xAD";
  EXPECT_EQ(Convert(sixty), std::u16string(60, u'\u4e2d'));
  // 131 characters do not fit: one ASCII byte then three-byte characters,
  // 1 + 42 * 3 = 127 bytes are kept; the 43rd would straddle byte 127.
  std::string chinese = "a";
  for (int i = 0; i < 130; ++i) chinese += "\xE4\xB8\xAD";
  std::u16string converted = Convert(chinese);
  EXPECT_EQ(converted, u"a" + std::u16string(42, u'\u4e2d'));
  // Four-byte characters give two units each: still within 127 units.
  std::string emoji;
  for (int i = 0; i < 40; ++i) emoji += "\xF0\x9F\x98\x80";
  EXPECT_LE(Convert(emoji).size(), kNotificationMaxBytes);
}

TEST(NotificationText, StrayContinuationBytesAtTheCutAreCharactersOfTheirOwn) {
  // Bytes that belong to no lead byte are each one replacement character.
  EXPECT_EQ(Convert(std::string(200, '\x80')), std::u16string(127, u'\uFFFD'));
  EXPECT_EQ(Convert(std::string(127, 'a') + "\x80\x80"), std::u16string(127, u'a'));
  EXPECT_EQ(Convert(std::string(126, 'a') + "\x80\x80\x80"), std::u16string(126, u'a') + u"\uFFFD");
  // A lead byte too far back to reach byte 127 does not pull the cut back.
  EXPECT_EQ(Convert(std::string(123, 'a') + "\xC3\xA9\x80\x80\x80\x80"),
            std::u16string(123, u'a') + u"\u00E9\uFFFD\uFFFD");
  // The one sequence that straddles byte 127 is dropped whole.
  EXPECT_EQ(Convert(std::string(126, 'a') + "\xC3\xA9" "zz"), std::u16string(126, u'a'));
  EXPECT_EQ(Convert(std::string(124, 'a') + "\xF0\x9F\x98\x80" "zz"), std::u16string(124, u'a'));
  EXPECT_EQ(Convert(std::string(123, 'a') + "\xF0\x9F\x98\x80" + std::string(10, 'b')),
            std::u16string(123, u'a') + u"\U0001F600");
}

TEST(NotificationText, LeadBytesThatOpenNoSequenceAtTheCutAreKept) {
  // A lead byte whose next byte is outside its range (a surrogate, an
  // over-long form, beyond U+10FFFF) is a replacement character of its own
  // within the 127 bytes, as are the continuation bytes after it.
  for (const char* lead : {"\xED\xA0", "\xE0\x80", "\xF0\x80", "\xF4\x90"}) {
    EXPECT_EQ(Convert(std::string(126, 'a') + lead + "\x80zz"), std::u16string(126, u'a') + u"\uFFFD") << lead;
    EXPECT_EQ(Convert(std::string(125, 'a') + lead + "\x80zz"), std::u16string(125, u'a') + u"\uFFFD\uFFFD")
        << lead;
  }
  // The same lead bytes opening whole sequences are dropped at the cut.
  EXPECT_EQ(Convert(std::string(126, 'a') + "\xED\x9F\xBFzz"), std::u16string(126, u'a'));
  EXPECT_EQ(Convert(std::string(125, 'a') + "\xF4\x8F\xBF\xBFzz"), std::u16string(125, u'a'));
}

TEST(Utf8Decoder, EachMaximalIllFormedSubpartIsOneReplacement) {
  EXPECT_EQ(Decode("\xE4\xB8"), u"\uFFFD");              // truncated sequence
  EXPECT_EQ(Decode("\xE4\xB8" "A"), u"\uFFFDA");
  EXPECT_EQ(Decode("\xC0\xAF"), u"\uFFFD\uFFFD");          // over-long form
  EXPECT_EQ(Decode("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // surrogate
  EXPECT_EQ(Decode("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // above U+10FFFF
  EXPECT_EQ(Decode("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Decode("\xC3\xA9"), u"\u00e9");
}

TEST(Utf8Decoder, ReportsZeroWhenTheOutputDoesNotFit) {
  Utf8Decoder decoder;
  char16_t out[2] = {u'#', u'#'};
  EXPECT_EQ(decoder.ToUtf16("abc", 3, out, 2), 0u);
  EXPECT_EQ(decoder.ToUtf16("ab", 2, out, 2), 2u);
}

}  // namespace
}  // namespace vorlane
