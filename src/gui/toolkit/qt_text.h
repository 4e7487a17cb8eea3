// The one place where the program's UTF-8 text meets Qt's QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace velmora {

inline QString ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string FromQString(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace velmora
