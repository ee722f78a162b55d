#include "resources/ui/text_codec.h"

#include "text/code_page.h"

namespace orv::ui {

QString FromCp1251(std::string_view bytes) {
    const std::string utf8 = Utf8FromCp1251(bytes);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

std::optional<std::string> ToCp1251(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Cp1251FromUtf8(std::string_view(utf8.constData(), std::size_t(utf8.size())));
}

}  // namespace orv::ui
