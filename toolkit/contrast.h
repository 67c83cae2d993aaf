// Text colours that stay readable on whatever background a theme gives.
//
// The preview colours keywords, strings and comments. Fixed colours chosen
// for a white background all but vanish on a dark one, so a backend derives
// them from its theme's text and background colours instead, and then makes
// sure each reads at least as well as WCAG's 4.5:1 asks of body text. The
// arithmetic is plain sRGB and knows no window system.
#pragma once

#include <cstdint>

namespace tovi {

struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// WCAG's relative luminance: 0 for black, 1 for white.
double RelativeLuminance(Rgb colour);

// WCAG's contrast ratio of two colours, from 1 (the same) to 21 (black on
// white); the order does not matter.
double ContrastRatio(Rgb first, Rgb second);

// `from` moved the fraction `towards` (0 to 1) of the way to `to`.
Rgb Blend(Rgb from, Rgb to, double towards);

// The colour nearest `wanted` that has at least `minimum` contrast against
// `background`: `wanted` itself when it already has it, else `wanted`
// blended towards black or white, whichever lies further from the
// background, only as far as needed. Any background has 4.58:1 or more
// against one of the two, so up to that the result always reaches
// `minimum`.
Rgb ReadableOn(Rgb wanted, Rgb background, double minimum = 4.5);

// The colour of a preview span of `kind` (kTextKeyword, kTextString,
// kTextComment or kTextMargin; anything else is plain text) for a theme
// whose text is `text` on `background`: the kind's usual hue mixed with the
// theme's text colour, made readable on the background.
Rgb SpanColour(int32_t kind, Rgb text, Rgb background);

}  // namespace tovi
