// The preview's colours against any background a theme may give.
#include "toolkit/contrast.h"

#include <gtest/gtest.h>

#include "toolkit/tovi.h"

namespace {

using tovi::ContrastRatio;
using tovi::ReadableOn;
using tovi::Rgb;
using tovi::SpanColour;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

TEST(Contrast, RatiosAreThoseOfTheWcagFormula) {
  EXPECT_DOUBLE_EQ(ContrastRatio(kBlack, kWhite), 21.0);
  EXPECT_DOUBLE_EQ(ContrastRatio(kWhite, kBlack), 21.0);
  // The grey just short of 4.5:1 on white, and the one just past it.
  EXPECT_NEAR(ContrastRatio(Rgb{0x77, 0x77, 0x77}, kWhite), 4.48, 0.005);
  EXPECT_NEAR(ContrastRatio(Rgb{0x76, 0x76, 0x76}, kWhite), 4.54, 0.005);
}

TEST(Contrast, ColoursAreMovedOnlyAsFarAsNeeded) {
  const Rgb navy{0x00, 0x00, 0x80};
  EXPECT_EQ(ReadableOn(navy, kWhite), navy);
  // Navy on black is lightened, not blackened, and stays blue.
  const Rgb lifted = ReadableOn(navy, kBlack);
  EXPECT_GE(ContrastRatio(lifted, kBlack), 4.5);
  EXPECT_LT(ContrastRatio(lifted, kBlack), 4.8);
  EXPECT_GT(lifted.b, lifted.r);
}

TEST(Contrast, EveryBackgroundGetsReadableSpanColours) {
  for (int r = 0; r < 256; r += 51) {
    for (int g = 0; g < 256; g += 51) {
      for (int b = 0; b < 256; b += 51) {
        const Rgb background{static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                             static_cast<uint8_t>(b)};
        for (Rgb text : {kBlack, kWhite, background}) {
          for (int32_t kind :
               {kTextKeyword, kTextString, kTextComment, kTextMargin}) {
            ASSERT_GE(
                ContrastRatio(SpanColour(kind, text, background), background),
                4.5)
                << "kind " << kind << " on " << r << "," << g << "," << b;
          }
        }
      }
    }
  }
}

TEST(Contrast, LightAndDarkThemesKeepTheKindsApart) {
  for (auto [text, background] :
       {std::pair{kBlack, kWhite}, std::pair{kWhite, kBlack},
        std::pair{Rgb{0xDE, 0xDD, 0xDA}, Rgb{0x24, 0x24, 0x24}}}) {
    const Rgb keyword = SpanColour(kTextKeyword, text, background);
    const Rgb string = SpanColour(kTextString, text, background);
    const Rgb comment = SpanColour(kTextComment, text, background);
    EXPECT_NE(keyword, string);
    EXPECT_NE(keyword, comment);
    EXPECT_NE(string, comment);
    EXPECT_NE(keyword, text);
    EXPECT_EQ(SpanColour(0, text, background), text);
  }
}

}  // namespace
