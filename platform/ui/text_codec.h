#pragma once
// The game's texts are Windows-1252 bytes; widgets speak Unicode. Texts cross
// over here and nowhere else.
#include <string>
#include <string_view>

#include <QString>

namespace platform::ui {

QString FromAnsi(std::string_view bytes);
// Characters outside Windows-1252 become '?'.
std::string ToAnsi(const QString& text);

// For texts that may be either: valid UTF-8 holding non-ASCII (a native path,
// a text written in our sources) is read as UTF-8, anything else as Windows-1252.
QString FromDisplayText(std::string_view bytes);

// Native file names (UTF-8 on this system).
QString FromNative(std::string_view path);
std::string ToNative(const QString& path);

}  // namespace platform::ui
