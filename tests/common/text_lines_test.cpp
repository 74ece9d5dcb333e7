#include "common/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velm {
namespace {

std::vector<std::string> Lines(std::string text, LastLine rule) {
  const TextLines lines = TextLines::FromText(std::move(text), rule);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < lines.Count(); ++i) out.emplace_back(lines[i]);
  return out;
}

using Strings = std::vector<std::string>;

TEST(TextLines, LineFeedEndsALineAndACarriageReturnBeforeItIsDropped) {
  EXPECT_EQ(Lines("a\r\nb\nc\r\n", LastLine::kDropped),
            (Strings{"a", "b", "c"}));
  EXPECT_EQ(Lines("a\rb\r\n\r\n", LastLine::kDropped), (Strings{"a\rb", ""}));
}

TEST(TextLines, AnUnterminatedLastLineIsDroppedOrKeptByRule) {
  EXPECT_EQ(Lines("a\nlast", LastLine::kDropped), (Strings{"a"}));
  EXPECT_EQ(Lines("a\nlast", LastLine::kKept), (Strings{"a", "last"}));
  EXPECT_EQ(Lines("", LastLine::kKept), Strings{});
  EXPECT_EQ(Lines("a\n", LastLine::kKept), (Strings{"a"}));
}

TEST(TextLines, LongLinesAreReadInPiecesOf1023Characters) {
  const std::string exact(1023, 'x');
  EXPECT_EQ(Lines(exact + "\n", LastLine::kDropped), (Strings{exact, ""}));
  EXPECT_EQ(Lines(std::string(1022, 'y') + "\r\n", LastLine::kDropped),
            (Strings{std::string(1022, 'y')}));
  EXPECT_EQ(Lines(exact + "tail\r\nnext\n", LastLine::kDropped),
            (Strings{exact, "tail", "next"}));
  EXPECT_EQ(Lines(exact + exact + "\n", LastLine::kDropped),
            (Strings{exact, exact, ""}));
}

TEST(TextLines, LinesPastTheEndReadAsEmpty) {
  const TextLines lines = TextLines::FromText("one\ntwo\n", LastLine::kKept);
  EXPECT_EQ(lines.LineOrEmpty(1), "one");
  EXPECT_EQ(lines.LineOrEmpty(2), "two");
  EXPECT_EQ(lines.LineOrEmpty(3), "");
  EXPECT_EQ(lines.LineOrEmpty(0), "");
}

TEST(TextLines, AMissingFileIsNoLines) {
  EXPECT_FALSE(TextLines::Read("no/such/file.dat", LastLine::kKept));
}

}  // namespace
}  // namespace velm
