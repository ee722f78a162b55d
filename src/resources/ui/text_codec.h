#pragma once
// The one place where Windows-1251 text of the core meets QString of the widgets.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace orv::ui {

// A QString from UTF-8 source text (the program's texts written in the sources).
inline QString U(const char* utf8) { return QString::fromUtf8(utf8); }
inline QString U(const std::string& utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

QString FromCp1251(std::string_view bytes);
// nullopt when the text has a character that Windows-1251 cannot hold.
std::optional<std::string> ToCp1251(const QString& text);

}  // namespace orv::ui
