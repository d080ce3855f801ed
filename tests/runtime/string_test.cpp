// Text conversions, search, and the file codec, at the edges the game's saved
// state and asset names run into.

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "runtime/string.h"

namespace {

std::string Text(const String& text) {
  return text.ToUtf8();
}

String Decode(std::vector<unsigned char> bytes) {
  return String::Load(bytes.data(), static_cast<int>(bytes.size()));
}

std::vector<unsigned char> Encode(const String& text) {
  std::vector<unsigned char> bytes;
  text.Save(bytes);
  return bytes;
}

TEST(StringConversion, NumbersToTextAndBack) {
  EXPECT_EQ(Text(String(1.0f)), "1.0");
  EXPECT_EQ(Text(String(0.1f)), "0.10000000149011612");
  EXPECT_EQ(Text(String(1e20f)), "1.0000000200408773e+20") << "an exponent needs no .0";
  EXPECT_EQ(Text(String(INT_MIN)), "-2147483648");
  // Text to numbers reads like atoi, without overflow.
  EXPECT_EQ(String(u"123abc").ToInt(), 123);
  EXPECT_EQ(String(u"\t-17x").ToInt(), -17);
  EXPECT_EQ(String(u"- 5").ToInt(), 0);
  EXPECT_EQ(String(u"99999999999999999999").ToInt(), INT_MAX);
  EXPECT_EQ(String(u"-99999999999999999999").ToInt(), INT_MIN);
  // Only the first 63 units are read.
  EXPECT_EQ((String(std::string(62, ' ').c_str()) + String(u"12")).ToInt(), 1);
  EXPECT_FLOAT_EQ(String(u"2.5e1kg").ToFloat(), 25.0f);
}

TEST(StringSearch, SplitKeepsEmptyPiecesReplaceAndToLower) {
  auto pieces = [](const char16_t* text, const char16_t* separator) {
    std::vector<std::string> result;
    Array<String> parts = String(text).Split(String(separator));
    for (int i = 0; i < parts.Length(); ++i) result.push_back(Text(parts[i]));
    return result;
  };
  using Pieces = std::vector<std::string>;
  EXPECT_EQ(pieces(u"a|b|", u"|"), (Pieces{"a", "b", ""}));
  EXPECT_EQ(pieces(u"", u","), (Pieces{""}));
  EXPECT_EQ(pieces(u"aaa", u"aa"), (Pieces{"", "a"})) << "occurrences do not overlap";
  EXPECT_EQ(pieces(u"xy", u""), (Pieces{"x", "y"}));
  EXPECT_EQ(String().Split(String()).Length(), 0);

  EXPECT_EQ(Text(String(u"aaa").Replace(String(u"aa"), String(u"b"))), "ba");
  String plain(u"no match");
  EXPECT_EQ(plain.Replace(String(u"z"), String(u"y")).Data(), plain.Data());
  EXPECT_EQ(Text(String(u"Gfx/ÄB-HD.PNG").ToLower()), "gfx/Äb-hd.png");
  String lower(u"already");
  EXPECT_EQ(lower.ToLower().Data(), lower.Data());
}

TEST(StringCodec, Utf16WithByteOrderMarkUtf8AndItsByteFallback) {
  EXPECT_EQ(Text(Decode({0xFE, 0xFF, 0x00, 'h', 0x00, 0xE9, 0x20})), "hé")
      << "big-endian, odd trailing byte ignored";
  EXPECT_EQ(Text(Decode({0xFF, 0xFE, 'h', 0x00, 0x3D, 0xD8, 0x00, 0xDE})),
            "h\xED\xA0\xBD\xED\xB8\x80")
      << "little-endian, a surrogate pair stays two units";
  EXPECT_EQ(_str_load_err, nullptr);

  String e_acute = Decode({0xC3, 0xA9});
  ASSERT_EQ(e_acute.Length(), 1);
  EXPECT_EQ(e_acute[0], 0xE9);
  EXPECT_EQ(Encode(e_acute), (std::vector<unsigned char>{0xC3, 0xA9}));
  EXPECT_EQ(_str_load_err, nullptr);

  EXPECT_EQ(Text(Decode({0xEF, 0xBB, 0xBF, 'o', 'k'})), "ok");
  EXPECT_EQ(Decode({0xE2, 0x82, 0xAC})[0], 0x20AC);

  String latin = Decode({0xE9, 0x41});
  EXPECT_STREQ(_str_load_err, "Invalid UTF-8");
  ASSERT_EQ(latin.Length(), 2);
  EXPECT_EQ(latin[0], 0xE9);
  EXPECT_EQ(latin[1], 0x41);

  // Each malformed shape falls back to the whole buffer, byte-order mark included.
  const std::vector<std::vector<unsigned char>> malformed = {
      {0xF0, 0x9F, 0x98, 0x80}, {'a', 0xC3}, {0xE2, 0x82}, {0x80}, {0xEF, 0xBB, 0xBF, 0xFF}};
  for (const auto& bytes : malformed) {
    String fallback = Decode(bytes);
    EXPECT_STREQ(_str_load_err, "Invalid UTF-8");
    ASSERT_EQ(fallback.Length(), static_cast<int>(bytes.size()));
    EXPECT_EQ(fallback[fallback.Length() - 1], bytes.back());
  }
  Decode({'a'});
  EXPECT_EQ(_str_load_err, nullptr) << "a clean decode clears the last error";
}

TEST(StringCodec, SavesThreeByteUnitsAndRoundTripsThroughAFile) {
  String text = String(u"A\u07FF\uFFFF") + String::FromChar(0xD83D);
  EXPECT_EQ(Encode(text),
            (std::vector<unsigned char>{'A', 0xDF, 0xBF, 0xEF, 0xBF, 0xBF, 0xED, 0xA0, 0xBD}));
  FILE* file = std::tmpfile();
  String big = String(std::string(5000, 'x').c_str()) + text;
  EXPECT_TRUE(big.Save(file));
  std::rewind(file);
  EXPECT_EQ(String::Load(file), big) << "reads past the first 4096-byte block";
  std::fclose(file);
}

}  // namespace
