// Bytes of any kind as UTF-8 text for the screen, the one rule every place
// that shows such bytes follows: the lists of the GTK backend, its titles
// and captions, and the names kalvane puts into its messages.
//
// Text that is UTF-8 already is shown as it is. Any other text (a source
// file written in an old 8-bit code page, say) is read whole in the Western
// 8-bit code page 1252 instead, as the Windows build reads such bytes in
// its usual code page: every byte becomes a character, so nothing vanishes,
// and different names never look alike as they would if each bad byte
// became U+FFFD. A NUL, which would end the text a message box or a view
// draws, is shown as the symbol for NUL. A text longer than
// `mostCharacters` characters is cut there and ends in "…".
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace tovi {

std::string ShownText(
    std::string_view bytes,
    size_t mostCharacters = std::numeric_limits<size_t>::max());

// The pieces ShownText is made of, for texts shown by the same rule one
// character at a time (the preview, which also expands tabs and colours).
// Utf8Length: the length of the UTF-8 character `text` starts with; 0 when
// its bytes are not UTF-8 (cut short, an overlong form, a surrogate, past
// U+10FFFF), which is what the system's strict conversion refuses.
// IsUtf8: whether the whole text is UTF-8. AppendShownByte: appends one byte
// of a text that is not UTF-8, or a NUL, as UTF-8.
size_t Utf8Length(std::string_view text);
bool IsUtf8(std::string_view text);
void AppendShownByte(std::string& out, uint8_t byte);

}  // namespace tovi
