// The preview's colours, taken from the theme in use so a dark theme gets
// light colours and a light one dark colours, each made readable against
// the text's background.
#include "toolkit/gtk/theme_colours.h"

#include <algorithm>
#include <cmath>

namespace tovi::gtk {
namespace {

uint8_t Channel(double value) {
  return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
}

Rgb FromGdk(const GdkRGBA& colour) {
  return {Channel(colour.red), Channel(colour.green), Channel(colour.blue)};
}

GdkRGBA ToGdk(Rgb colour) {
  return {colour.r / 255.0, colour.g / 255.0, colour.b / 255.0, 1.0};
}

// The theme's named colour, or `fallback` where the theme names none.
Rgb Named(GtkStyleContext* style, const char* name, Rgb fallback) {
  GdkRGBA colour;
  return gtk_style_context_lookup_color(style, name, &colour) != 0
             ? FromGdk(colour)
             : fallback;
}

}  // namespace

PreviewColours ThemePreviewColours(GtkWidget* view) {
  GtkStyleContext* style = gtk_widget_get_style_context(view);
  GdkRGBA text;
  gtk_style_context_get_color(style, gtk_style_context_get_state(style), &text);
  const Rgb foreground = Named(style, "theme_text_color", FromGdk(text));
  // Where the theme names no base colour, the one of white and black that
  // sets its text apart.
  const Rgb opposite =
      RelativeLuminance(foreground) > 0.5 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
  const Rgb background = Named(style, "theme_base_color", opposite);
  // Keywords in the theme's accent, strings in its error red and comments
  // in its success green: colours users of the theme already know.
  PreviewColours colours;
  colours.keyword = ToGdk(ReadableOn(
      Named(style, "theme_selected_bg_color", {0x35, 0x84, 0xE4}), background));
  colours.string = ToGdk(
      ReadableOn(Named(style, "error_color", {0xC0, 0x1C, 0x28}), background));
  colours.comment = ToGdk(ReadableOn(
      Named(style, "success_color", {0x26, 0xA2, 0x69}), background));
  // Line numbers: the text faded halfway into the background, yet readable.
  colours.margin =
      ToGdk(ReadableOn(Blend(foreground, background, 0.5), background));
  return colours;
}

}  // namespace tovi::gtk
