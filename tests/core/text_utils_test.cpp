#include "records/text_utils.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace velmora {
namespace {

using TParts = std::vector<std::string>;

TEST(Trimmed, RemovesBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(Trimmed(" \t\r\n a b \x01\n"), "a b");
  EXPECT_EQ(Trimmed("   "), "");
  EXPECT_EQ(Trimmed(""), "");
  // Bytes above 127 (UTF-8 letters) are text, not blanks.
  EXPECT_EQ(Trimmed("\xC3\xA9 "), "\xC3\xA9");
}

TEST(AsciiCase, ChangesOnlyAsciiLetters) {
  EXPECT_EQ(ToUpperAscii("Pérez 7a"), "PéREZ 7A");
  EXPECT_EQ(ToLowerAscii("PÉREZ-Z"), "pÉrez-z");
}

TEST(ParseInt32, AcceptsSignedDecimalsThatFit) {
  EXPECT_EQ(ParseInt32("0"), 0);
  EXPECT_EQ(ParseInt32("-17"), -17);
  EXPECT_EQ(ParseInt32("+17"), 17);
  EXPECT_EQ(ParseInt32("007"), 7);
  EXPECT_EQ(ParseInt32("2147483647"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(ParseInt32("-2147483648"), std::numeric_limits<std::int32_t>::min());
}

TEST(ParseInt32, RefusesEverythingElse) {
  for (const char* text : {"", "+", "-", "2147483648", "-2147483649", "12a", "1.5", "1e3", " 5", "5 ",
                           "0x10", "+-5", "++5", "--5"}) {
    EXPECT_EQ(ParseInt32(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(ParseBool, WordsInAnyCaseOrNumbers) {
  EXPECT_EQ(ParseBool("True"), true);
  EXPECT_EQ(ParseBool("FALSE"), false);
  EXPECT_EQ(ParseBool("tRuE"), true);
  EXPECT_EQ(ParseBool("0"), false);
  EXPECT_EQ(ParseBool("-1"), true);
  EXPECT_EQ(ParseBool("2"), true);
  EXPECT_EQ(ParseBool("yes"), std::nullopt);
  EXPECT_EQ(ParseBool(""), std::nullopt);
  EXPECT_EQ(BoolText(true), "True");
  EXPECT_EQ(BoolText(false), "False");
}

TEST(ParseDecimal, PointDecimalsOnly) {
  EXPECT_EQ(ParseDecimal("1.98"), 1.98);
  EXPECT_EQ(ParseDecimal("-2"), -2.0);
  EXPECT_EQ(ParseDecimal("+0.5"), 0.5);
  EXPECT_EQ(ParseDecimal("2e3"), 2000.0);
  for (const char* text : {"", "1,98", "1.9.8", "abc", "inf", "nan", "1e999", " 1", "+-1", "1.5x"}) {
    EXPECT_EQ(ParseDecimal(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(SplitTrimmed, CutsAtEachSeparatorAndTrimsTheParts) {
  EXPECT_EQ(SplitTrimmed("139+29", '+'), (TParts{"139", "29"}));
  EXPECT_EQ(SplitTrimmed("  139 +  29 ", '+'), (TParts{"139", "29"}));
  EXPECT_EQ(SplitTrimmed("+29", '+'), (TParts{"", "29"}));
  EXPECT_EQ(SplitTrimmed("139+", '+'), (TParts{"139"}));
  EXPECT_EQ(SplitTrimmed("a++b", '+'), (TParts{"a", "", "b"}));
  EXPECT_EQ(SplitTrimmed("a + + b", '+'), (TParts{"a", "", "b"}));
  EXPECT_EQ(SplitTrimmed("single", '+'), (TParts{"single"}));
  EXPECT_TRUE(SplitTrimmed("", '+').empty());
  EXPECT_TRUE(SplitTrimmed("   ", '+').empty());
  EXPECT_EQ(SplitTrimmed("a;b c;d", ';'), (TParts{"a", "b c", "d"}));
}

TEST(UrlEncode, KeepsAlphanumericsAndEscapesEveryOtherByte) {
  EXPECT_EQ(UrlEncode("a b&c"), "a+b%26c");
  EXPECT_EQ(UrlEncode("Zz09"), "Zz09");
  EXPECT_EQ(UrlEncode("-_.~/"), "%2D%5F%2E%7E%2F");
  EXPECT_EQ(UrlEncode("\xC3\xA9"), "%C3%A9");  // bytes, upper-case hex
  EXPECT_EQ(UrlEncode(std::string("\0\xFF", 2)), "%00%FF");
  EXPECT_EQ(UrlEncode(""), "");
}

TEST(LineChecksum, Crc16OverTheLineAndItsEnd) {
  EXPECT_EQ(LineChecksum(""), 0x9784);
  EXPECT_EQ(LineChecksum("123456789"), 0x74D4);
  // Bytes 255 do not count.
  EXPECT_EQ(LineChecksum("1234\xFF" "56789\xFF"), 0x74D4);
  // The line end is added by the checksum, so a text that already holds it differs.
  EXPECT_NE(LineChecksum("123456789\r\n"), LineChecksum("123456789"));
}

TEST(HsvToColor, PrimaryHuesAndRounding) {
  EXPECT_EQ(HsvToColor(0, 1, 1), 0xFF0000u);    // v in the high byte
  EXPECT_EQ(HsvToColor(60, 1, 1), 0xFFFF00u);
  EXPECT_EQ(HsvToColor(120, 1, 1), 0x00FF00u);
  EXPECT_EQ(HsvToColor(240, 1, 1), 0x0000FFu);  // v in the low byte
  EXPECT_EQ(HsvToColor(300, 1, 1), 0xFF00FFu);
  EXPECT_EQ(HsvToColor(30, 1, 1), 0xFF8000u);   // 127.5 rounds to 128
  EXPECT_EQ(HsvToColor(0, 1, 0.25), 0x400000u);  // 63.75 rounds to 64
  // A grey ignores the hue; 360 degrees falls out of the six sectors and gives v everywhere.
  EXPECT_EQ(HsvToColor(200, 0, 0.5), 0x808080u);
  EXPECT_EQ(HsvToColor(360, 1, 1), 0xFFFFFFu);
  EXPECT_EQ(HsvToColor(0, 0, 0), 0u);
}

TEST(IntegerHelpers, MaxMinAndTruncatingAverage) {
  EXPECT_EQ(IntMax(-3, 2), 2);
  EXPECT_EQ(IntMin(-3, 2), -3);
  EXPECT_EQ(Average3(1, 2, 4), 2);
  EXPECT_EQ(Average3(-1, -1, -2), -1);  // truncates toward zero
}

TEST(PointsFromPosition, ThreePointArcAtRadius114) {
  EXPECT_EQ(PointsFromPosition("139+143"), 3);  // exactly on the arc
  EXPECT_EQ(PointsFromPosition("139+142"), 2);
  EXPECT_EQ(PointsFromPosition("25+29"), 3);
  EXPECT_EQ(PointsFromPosition("139+29"), 2);
  EXPECT_EQ(PointsFromPosition("220+110"), 3);  // 81² + 81² is past 114²
  EXPECT_EQ(PointsFromPosition("219+109"), 2);
  EXPECT_EQ(PointsFromPosition(" 139 + 143 "), 3);
  for (const char* text : {"", "139", "139+", "x+5", "139+1.5", "+143"}) {
    EXPECT_EQ(PointsFromPosition(text), std::nullopt) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace velmora
