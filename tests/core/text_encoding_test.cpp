#include "records/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST(Windows1252ToUtf8, MapsTheSpecialRangeAndLatin1) {
  EXPECT_EQ(Windows1252ToUtf8("P\xE9rez"), "Pérez");
  EXPECT_EQ(Windows1252ToUtf8("\x80"), "€");
  EXPECT_EQ(Windows1252ToUtf8("\x8A\x9A\x9F\x96\x85"), "ŠšŸ–…");
  EXPECT_EQ(Windows1252ToUtf8("\xA0\xFF"), "\u00A0ÿ");
  // Bytes without a character keep their value as C1 controls.
  EXPECT_EQ(Windows1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
  EXPECT_EQ(Windows1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Windows1252ToUtf8, EveryByteRoundTrips) {
  const std::string utf8 = Windows1252ToUtf8(AllBytes());
  EXPECT_TRUE(IsValidUtf8(utf8));
  EXPECT_EQ(Utf8ToWindows1252(utf8), AllBytes());
  EXPECT_EQ(Utf8ToWindows1252XmlSafe(utf8), AllBytes());
}

TEST(Utf8ToWindows1252, ConvertsWhatTheCodePageHolds) {
  EXPECT_EQ(Utf8ToWindows1252("Pérez"), "P\xE9rez");
  EXPECT_EQ(Utf8ToWindows1252("5 €"), "5 \x80");
  EXPECT_EQ(Utf8ToWindows1252("Œuvre “quoted” ™"), "\x8Cuvre \x93quoted\x94 \x99");
  EXPECT_EQ(Utf8ToWindows1252(""), "");
}

TEST(Utf8ToWindows1252, RefusesRatherThanReplaces) {
  const char* refused[] = {
      "Łódź",              // Ł and ź are not in the code page
      "Ωmega",             // Greek
      "球",                 // three-byte sequence
      "\xF0\x9F\x8F\x80",  // basketball emoji, four bytes
      "\u0080",            // the C1 control at 0x80, whose byte means the euro sign
      "\xE9",              // a bare windows-1252 byte is not UTF-8
      "\xC3",              // truncated sequence
      "\xE2\x82",          // truncated sequence
      "\xC0\xAF",          // overlong slash
      "\xE0\x80\xAF",      // overlong slash
      "\xED\xA0\x80",      // surrogate
      "\xF4\x90\x80\x80",  // past U+10FFFF
      "\x80",              // stray continuation byte
      "\xFF",
  };
  for (const char* text : refused) {
    EXPECT_EQ(Utf8ToWindows1252(text), std::nullopt) << ::testing::PrintToString(std::string(text));
  }
}

TEST(Utf8ToWindows1252XmlSafe, WritesCharacterReferencesForTheRest) {
  EXPECT_EQ(Utf8ToWindows1252XmlSafe("Łódź"), "&#321;\xF3" "d&#378;");
  EXPECT_EQ(Utf8ToWindows1252XmlSafe("🏀 5 €"), "&#127936; 5 \x80");
  EXPECT_EQ(Utf8ToWindows1252XmlSafe("Pérez"), "P\xE9rez");
  EXPECT_EQ(Utf8ToWindows1252XmlSafe("\u0080"), "&#128;");
  // Malformed input becomes the replacement character, one per bad byte, and the rest survives.
  EXPECT_EQ(Utf8ToWindows1252XmlSafe("a\xE9z"), "a&#65533;z");
  EXPECT_EQ(Utf8ToWindows1252XmlSafe("\xE2\x82" "b"), "&#65533;&#65533;b");
  EXPECT_EQ(Utf8ToWindows1252XmlSafe(""), "");
}

TEST(Utf8ToWindows1252BestFit, DropsTheMarkOfLettersTheCodePageLacks) {
  EXPECT_EQ(Utf8ToWindows1252BestFit("Dončić Łódź Pérez Šarūnas"), "Doncic L\xF3" "dz P\xE9rez \x8A" "arunas");
  EXPECT_EQ(Utf8ToWindows1252BestFit("ĀāĞğİıŁłŐőŸſ"), "AaGgIiLlOo\x9F" "s");
  EXPECT_EQ(Utf8ToWindows1252BestFit("Пётр 🏀 a\xE9z"), "???? ? a?z");
}

TEST(Windows1252ByteOf, CodePointsWithAndWithoutAByte) {
  EXPECT_EQ(Windows1252ByteOf(U'A'), 0x41);
  EXPECT_EQ(Windows1252ByteOf(U'\u20AC'), 0x80);
  EXPECT_EQ(Windows1252ByteOf(U'\u0178'), 0x9F);
  EXPECT_EQ(Windows1252ByteOf(U'\u0081'), 0x81);
  EXPECT_EQ(Windows1252ByteOf(U'\u00FF'), 0xFF);
  EXPECT_EQ(Windows1252ByteOf(U'\u0080'), std::nullopt);
  EXPECT_EQ(Windows1252ByteOf(U'\u009F'), std::nullopt);
  EXPECT_EQ(Windows1252ByteOf(U'\u0100'), std::nullopt);
  EXPECT_EQ(Windows1252ByteOf(U'\U0001F3C0'), std::nullopt);
}

TEST(IsValidUtf8, AcceptsWellFormedTextOnly) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain"));
  EXPECT_TRUE(IsValidUtf8("Pérez 球 🏀"));
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF
  EXPECT_TRUE(IsValidUtf8("\xEF\xBF\xBD"));      // U+FFFD
  EXPECT_FALSE(IsValidUtf8("P\xE9rez"));
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));
  EXPECT_FALSE(IsValidUtf8("\xED\xBF\xBF"));
  EXPECT_FALSE(IsValidUtf8("\xF8\x88\x80\x80\x80"));
  EXPECT_FALSE(IsValidUtf8("ok\xF0\x9F\x8F"));
}

}  // namespace
}  // namespace velmora
