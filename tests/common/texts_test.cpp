#include "common/texts.h"

#include <gtest/gtest.h>

#include "support/case_dir.h"

namespace velm {
namespace {

TEST(Cp932Texts, EveryTextIsTheCp932FormOfItsReadableForm) {
  for (const text::Cp932Text* item : text::kAllTexts) {
    EXPECT_EQ(item->bytes, testing::ToCp932(item->utf8)) << item->utf8;
  }
}

TEST(Cp932Texts, SummaryLabelsBeginWithTheIdeographicSpace) {
  for (const text::Cp932Text* label :
       {&text::kRmseLabel, &text::kRrLabel, &text::kReLabel}) {
    EXPECT_EQ(label->bytes.substr(0, 2), "\x81\x40");
  }
}

}  // namespace
}  // namespace velm
