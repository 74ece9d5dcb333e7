// The shared pieces: the number format, the number grammar, the line reader,
// the code-page-932 texts and the console that shows them in UTF-8.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "common/code_page.h"
#include "common/console.h"
#include "common/number_format.h"
#include "common/number_parse.h"
#include "common/text_lines.h"
#include "common/texts.h"
#include "support/case_dir.h"

namespace velm {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Tables of text and what it becomes, laid out as tables.
// clang-format off
TEST(NumberFormat, SixSignificantDigitsWithAThreeDigitExponent) {
  const std::pair<double, const char*> rows[] = {
      {0.1, "0.1"},           {2.5, "2.5"},
      {0, "0"},               {123456, "123456"},
      {1234567, "1.23457e+006"}, {0.00001234, "1.234e-005"},
      {0.00005, "5e-005"},    {0.0001, "0.0001"},
      {999999.5, "1e+006"},   {-2.5e-300, "-2.5e-300"},
      {1e100, "1e+100"},      {5.587012935772848, "5.58701"},
      {-0.0, "-0"},           {std::nan(""), "nan"},
      {-std::nan(""), "nan"}, {kInf, "inf"},
      {-kInf, "-inf"}};
  for (const auto& [value, text] : rows) EXPECT_EQ(FormatNumber(value), text);
  EXPECT_EQ(FormatFixed(std::nan(""), 8, 6), "     nan");
  EXPECT_EQ(FormatFixed(-kInf, 6, 4), "  -inf");
}

TEST(NumberGrammar, LeadingDecimalNumberOrZero) {
  const std::pair<const char*, int> integers[] = {
      {"  1   runs", 1},  {"\t-12,5", -12},         {"+7", 7},
      {"07", 7},          {"2.9", 2},               {"", 0},
      {"calibration", 0}, {"-", 0},                 {"0x1A", 0},
      {"\v\f 3", 3},      {"2147483648", INT_MAX},  {"-2147483648", INT_MIN},
      {"-99999999999999999999", INT_MIN}};
  for (const auto& [text, value] : integers) {
    EXPECT_EQ(ParseInt(text), value) << text;
  }
  const std::pair<const char*, double> reals[] = {
      {"  2.5 mm per hour", 2.5}, {"-0.25", -0.25}, {"+3", 3.0},
      {"5.", 5.0},                {".5", 0.5},      {"1.5E-2x", 0.015},
      {"2e+", 2.0},               {"36.0\r", 36.0}, {"\v\f0.1", 0.1},
      {".", 0.0},                 {"inf", 0.0},     {"nan", 0.0},
      {"0x1p3", 0.0},             {"e5", 0.0},      {"1e999", kInf},
      {"-1e999", -kInf},          {"1e-999", 0.0}};
  for (const auto& [text, value] : reals) {
    EXPECT_EQ(ParseReal(text), value) << text;
  }
  // A field is read to its own end, even where the line's next characters
  // would continue the number.
  const std::string_view line = "0.125e3";
  EXPECT_EQ(ParseReal(line.substr(0, 4)), 0.12);
  EXPECT_EQ(ParseReal(line.substr(0, 5)), 0.125);
}
// clang-format on

std::vector<std::string> Lines(std::string text, LastLine rule) {
  const TextLines lines = TextLines::FromText(std::move(text), rule);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < lines.Count(); ++i) out.emplace_back(lines[i]);
  return out;
}

TEST(TextLines, LineEndsLastLinesAndPiecesOf1023) {
  using Strings = std::vector<std::string>;
  const std::string exact(1023, 'x');
  EXPECT_EQ(Lines("a\r\nb\nc\rd\r\n\r\n", LastLine::kDropped),
            (Strings{"a", "b", "c\rd", ""}));
  EXPECT_EQ(Lines("a\nlast", LastLine::kDropped), (Strings{"a"}));
  EXPECT_EQ(Lines("a\nlast", LastLine::kKept), (Strings{"a", "last"}));
  EXPECT_EQ(Lines(exact + "\n", LastLine::kDropped), (Strings{exact, ""}));
  EXPECT_EQ(Lines(exact + exact + "tail\r\n", LastLine::kDropped),
            (Strings{exact, exact, "tail"}));
  EXPECT_EQ(Lines(std::string(1022, 'y') + "\r\n", LastLine::kDropped),
            (Strings{std::string(1022, 'y')}));
  const TextLines lines = TextLines::FromText("one\n", LastLine::kKept);
  EXPECT_EQ(lines.LineOrEmpty(1), "one");
  EXPECT_EQ(lines.LineOrEmpty(2), "");
  EXPECT_EQ(lines.LineOrEmpty(0), "");
}

TEST(Cp932Texts, EveryTextIsTheCp932FormOfItsReadableForm) {
  for (const text::Cp932Text* item : text::kAllTexts) {
    EXPECT_EQ(item->Bytes, testing::ToCp932(item->Utf8)) << item->Utf8;
  }
}

// Every text, as any line may hold it, and the same text after a file name
// that FILEINFO.dat gives in UTF-8 or in code page 932.
TEST(Console, ShowsEveryTextAndNamesOfBothEncodingsInUtf8) {
  const std::string utf8Name = "\xe9\x9b\xa8\xe9\x87\x8f.csv";  // 雨量.csv
  const std::string cp932Name = "\x89\x4a\x97\xca.csv";
  for (const text::Cp932Text* item : text::kAllTexts) {
    const std::string bytes(item->Bytes);
    EXPECT_EQ(ConsoleTextAsUtf8(bytes), item->Utf8) << item->Utf8;
    EXPECT_EQ(ConsoleTextAsUtf8(bytes + utf8Name),
              std::string(item->Utf8) + utf8Name)
        << item->Utf8;
    EXPECT_EQ(ConsoleTextAsUtf8(cp932Name + bytes),
              utf8Name + std::string(item->Utf8))
        << item->Utf8;
  }
  // Well-formed UTF-8 at the edges of each length passes; an overlong form,
  // a surrogate, a value above U+10FFFF or a cut sequence is code page 932.
  for (const char* utf8 :
       {"\xc2\x80", "\xdf\xbf", "\xe0\xa0\x80", "\xed\x9f\xbf", "\xef\xbf\xbd",
        "\xf0\x90\x80\x80", "\xf4\x8f\xbf\xbf"}) {
    EXPECT_EQ(ConsoleTextAsUtf8(utf8), utf8);
  }
  for (const char* other :
       {"\xc1\xbf", "\xe0\x9f\xbf", "\xed\xa0\x80", "\xe3\x81\xc0",
        "\xf0\x8f\xbf\xbf", "\xf4\x90\x80\x80", "\xe3\x81"}) {
    EXPECT_NE(ConsoleTextAsUtf8(other), other);
    EXPECT_EQ(ConsoleTextAsUtf8(other), Cp932ToUtf8(other));
  }
  // A byte that begins no character, and a lead byte at the very end.
  EXPECT_EQ(ConsoleTextAsUtf8("a\xa0"
                              "b\x81"),
            "a\xef\xbf\xbd"
            "b\xef\xbf\xbd");
  // A one-byte character (half-width katakana) keeps the UTF-8 after it.
  EXPECT_EQ(ConsoleTextAsUtf8("\xb1\xc3\xa9"), Cp932ToUtf8("\xb1") + "\xc3\xa9");
  EXPECT_EQ(ParseConsoleEncoding("utf-8"), ConsoleEncoding::kUtf8);
  EXPECT_EQ(ParseConsoleEncoding("cp932"), ConsoleEncoding::kCp932);
  for (const char* other : {"", "UTF-8", "utf8", "sjis", "cp932 "}) {
    EXPECT_FALSE(ParseConsoleEncoding(other)) << other;
  }
}

// Lines are converted whole, however they are written, and a line left
// unfinished is written when the stream ends; code page 932 passes through.
TEST(Console, ConvertsWholeLinesAndPassesCp932Through) {
  const std::string line = std::string(text::kDaysRelativeError) + "87.9878\n";
  std::ostringstream utf8;
  {
    ConsoleStream console(utf8, ConsoleEncoding::kUtf8);
    console << line.substr(0, 5) << std::string_view() << std::flush;
    EXPECT_EQ(utf8.str(), "");
    console << line.substr(5) << "day= 1"
            << std::string_view(text::kRelativeError);
    EXPECT_EQ(utf8.str(), "日間　相対誤差=87.9878\n");
    console.put('1');
  }
  EXPECT_EQ(utf8.str(), "日間　相対誤差=87.9878\nday= 1　相対誤差=1");
  std::ostringstream cp932;
  ConsoleStream(cp932, ConsoleEncoding::kCp932) << line;
  EXPECT_EQ(cp932.str(), line);
}

}  // namespace
}  // namespace velm
