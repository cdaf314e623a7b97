#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quorrel::app {

/// The core's own texts (a machine's name and settings, the machines file's messages) are UTF-8,
/// as the machines file is.
inline QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToUtf8(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace quorrel::app
