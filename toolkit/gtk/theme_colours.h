// The preview's colours from the theme of a text view.
#pragma once

#include <gtk/gtk.h>

#include "toolkit/contrast.h"

namespace tovi::gtk {

struct PreviewColours {
  GdkRGBA keyword, string, comment, margin;
};

// Colours for the kinds of text in `view`, each readable on its background.
PreviewColours ThemePreviewColours(GtkWidget* view);

}  // namespace tovi::gtk
