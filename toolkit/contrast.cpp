// Contrast arithmetic for the preview's colours; see contrast.h.
#include "toolkit/contrast.h"

#include <algorithm>
#include <cmath>

#include "toolkit/tovi.h"

namespace tovi {
namespace {

// An sRGB channel in linear light, as WCAG defines it.
double Linear(uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

uint8_t Mix(uint8_t from, uint8_t to, double towards) {
  const double mixed = from + (to - from) * std::clamp(towards, 0.0, 1.0);
  return static_cast<uint8_t>(std::lround(mixed));
}

}  // namespace

double RelativeLuminance(Rgb colour) {
  return 0.2126 * Linear(colour.r) + 0.7152 * Linear(colour.g) +
         0.0722 * Linear(colour.b);
}

double ContrastRatio(Rgb first, Rgb second) {
  const double a = RelativeLuminance(first);
  const double b = RelativeLuminance(second);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

Rgb Blend(Rgb from, Rgb to, double towards) {
  return Rgb{Mix(from.r, to.r, towards), Mix(from.g, to.g, towards),
             Mix(from.b, to.b, towards)};
}

Rgb ReadableOn(Rgb wanted, Rgb background, double minimum) {
  constexpr Rgb kBlack{0, 0, 0};
  constexpr Rgb kWhite{255, 255, 255};
  const Rgb extreme =
      ContrastRatio(kBlack, background) >= ContrastRatio(kWhite, background)
          ? kBlack
          : kWhite;
  // Contrast grows steadily along the way to the extreme, so the first
  // step that reaches the minimum is the least change; 256 steps are finer
  // than a channel's own.
  constexpr int kSteps = 256;
  for (int step = 0; step <= kSteps; ++step) {
    const Rgb candidate =
        Blend(wanted, extreme, static_cast<double>(step) / kSteps);
    if (ContrastRatio(candidate, background) >= minimum) return candidate;
  }
  return extreme;
}

Rgb SpanColour(int32_t kind, Rgb text, Rgb background) {
  // The hues code is usually coloured in, each carrying a little of the
  // theme's text colour so that it sits with the rest of the text.
  Rgb hue;
  switch (kind) {
    case kTextKeyword:
      hue = Blend(Rgb{0x00, 0x00, 0xC0}, text, 0.2);
      break;
    case kTextComment:
      hue = Blend(Rgb{0x00, 0x80, 0x00}, text, 0.2);
      break;
    case kTextString:
      hue = Blend(Rgb{0xB0, 0x20, 0x20}, text, 0.2);
      break;
    case kTextMargin:
      // Line numbers: the text, faded towards the background.
      hue = Blend(text, background, 0.5);
      break;
    default:
      hue = text;
      break;
  }
  return ReadableOn(hue, background);
}

}  // namespace tovi
