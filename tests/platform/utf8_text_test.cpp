#include "platform/utf8_text.h"

#include <gtest/gtest.h>

#include <QString>

#include <string>
#include <string_view>

namespace tessimar {
namespace {

constexpr const char* R = "\xEF\xBF\xBD";  // U+FFFD

// Failures show bytes, which a terminal would garble.
std::string Hex(std::string_view bytes) {
  static constexpr char Digits[] = "0123456789ABCDEF";
  std::string hex;
  for (const unsigned char b : bytes) hex += {Digits[b >> 4], Digits[b & 15], ' '};
  return hex;
}

TEST(ValidUtf8Test, EachByteOutsideAWellFormedSequenceBecomesOneReplacementCharacter) {
  struct Case {
    const char* Name;
    std::string Bytes, Expected;
  };
  const Case cases[] = {
      {"empty", "", ""},
      {"ASCII", "/photos/a b;c.jpg", "/photos/a b;c.jpg"},
      {"two and three bytes", "/照片/café.jpg", "/照片/café.jpg"},
      {"four bytes, the last code point", "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"},
      {"noncharacter kept", "\xEF\xBF\xBE", "\xEF\xBF\xBE"},
      {"Latin-1 name", "caf\xE9.jpg", std::string("caf") + R + ".jpg"},
      {"lone continuation bytes", "\x80\xBF", std::string(R) + R},
      {"overlong, two bytes", "\xC0\xAF\xC1\xBF", std::string(R) + R + R + R},
      {"overlong, three bytes", "\xE0\x80\xAF", std::string(R) + R + R},
      {"overlong, four bytes", "\xF0\x8F\xBF\xBF", std::string(R) + R + R + R},
      {"surrogates", "\xED\xA0\x80\xED\xBF\xBF", std::string(R) + R + R + R + R + R},
      {"above U+10FFFF", "\xF4\x90\x80\x80", std::string(R) + R + R + R},
      {"lead bytes above F4", "\xF5\x80\xFE\xFF", std::string(R) + R + R + R},
      {"truncated at the end", "a\xE6\x97", std::string("a") + R + R},
      {"truncated before ASCII", "\xF0\x9F\x98z", std::string(R) + R + R + "z"},
      {"truncated before a valid sequence", "\xC3\xC3\xA9", std::string(R) + "é"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Hex(ValidUtf8(c.Bytes)), Hex(c.Expected));
  }
}

// Every string of up to four bytes drawn from the boundaries of the lead and continuation
// ranges: the replacement characters fall where the window's QString::fromUtf8 puts them.
TEST(ValidUtf8Test, AgreesWithWhatTheWindowShows) {
  const std::string alphabet(
      "\x00\x41\x7F\x80\x8F\x90\x9F\xA0\xBF\xC0\xC1\xC2\xDF\xE0\xE1\xEC\xED\xEE\xEF\xF0\xF1\xF3\xF4\xF5\xFF", 25);
  for (std::size_t length = 1; length <= 4; ++length) {
    std::size_t count = 1;
    for (std::size_t i = 0; i < length; ++i) count *= alphabet.size();
    for (std::size_t n = 0; n < count; ++n) {
      std::string bytes;
      for (std::size_t rest = n, i = 0; i < length; ++i, rest /= alphabet.size())
        bytes += alphabet[rest % alphabet.size()];
      const QByteArray shown = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toUtf8();
      ASSERT_EQ(Hex(ValidUtf8(bytes)), Hex(shown.toStdString())) << "for " << Hex(bytes);
    }
  }
}

}  // namespace
}  // namespace tessimar
