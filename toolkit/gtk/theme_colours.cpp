// The preview's colours, taken from the theme in use so a dark theme gets
// light colours and a light one dark colours, each made readable against
// the text's background.
#include "toolkit/gtk/theme_colours.h"

#include "toolkit/gtk/contrast.h"

namespace tovi::gtk {
namespace {

// A little over the 4.5:1 readers need, so a colour rounded to the screen's
// 8 bits a channel still reads at 4.5:1.
constexpr double kReadable = 4.6;

Rgb FromGdk(const GdkRGBA& colour) {
  return {colour.red, colour.green, colour.blue};
}

GdkRGBA ToGdk(const Rgb& colour) {
  return {colour.r, colour.g, colour.b, 1.0};
}

Rgb Mix(const Rgb& from, const Rgb& to, double share) {
  return {from.r + (to.r - from.r) * share, from.g + (to.g - from.g) * share,
          from.b + (to.b - from.b) * share};
}

// The theme's named colour, or `fallback` where the theme names none.
Rgb Named(GtkStyleContext* style, const char* name, const Rgb& fallback) {
  GdkRGBA colour;
  return gtk_style_context_lookup_color(style, name, &colour) != 0
             ? FromGdk(colour)
             : fallback;
}

}  // namespace

Rgb ReadableOn(const Rgb& colour, const Rgb& background) {
  // Towards black on a light background, towards white on a dark one: the
  // hue stays while the contrast grows, and the far end always reads.
  const Rgb black{0, 0, 0};
  const Rgb white{1, 1, 1};
  const Rgb& far =
      ContrastRatio(black, background) >= ContrastRatio(white, background)
          ? black
          : white;
  for (int step = 0; step < 20; ++step) {
    const Rgb tried = Mix(colour, far, step / 20.0);
    if (ContrastRatio(tried, background) >= kReadable) return tried;
  }
  return far;
}

PreviewColours ThemePreviewColours(GtkWidget* view) {
  GtkStyleContext* style = gtk_widget_get_style_context(view);
  GdkRGBA text;
  gtk_style_context_get_color(style, gtk_style_context_get_state(style), &text);
  const Rgb foreground = Named(style, "theme_text_color", FromGdk(text));
  // Where the theme names no base colour, the one of white and black that
  // sets its text apart.
  const Rgb opposite =
      RelativeLuminance(foreground) > 0.5 ? Rgb{0, 0, 0} : Rgb{1, 1, 1};
  const Rgb background = Named(style, "theme_base_color", opposite);
  // Keywords in the theme's accent, strings in its error red and comments
  // in its success green: colours users of the theme already know.
  PreviewColours colours;
  colours.keyword = ToGdk(ReadableOn(
      Named(style, "theme_selected_bg_color", {0.21, 0.52, 0.89}), background));
  colours.string = ToGdk(
      ReadableOn(Named(style, "error_color", {0.75, 0.11, 0.16}), background));
  colours.comment = ToGdk(ReadableOn(
      Named(style, "success_color", {0.15, 0.64, 0.41}), background));
  // Line numbers: the text faded halfway into the background, yet readable.
  colours.margin =
      ToGdk(ReadableOn(Mix(foreground, background, 0.5), background));
  return colours;
}

}  // namespace tovi::gtk
