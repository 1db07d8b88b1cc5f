#include "ui/qtext.h"

#include <QFile>

#include "core/cp1252.h"

namespace loggrevy {

QString ToQString(std::string_view cp1252) {
  const std::string utf8 = Cp1252ToUtf8(cp1252);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToCp1252(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString PathToQString(const std::string& nativePath) {
  return QFile::decodeName(QByteArray(nativePath.data(), static_cast<qsizetype>(nativePath.size())));
}

std::string ToNativePath(const QString& path) {
  const QByteArray bytes = QFile::encodeName(path);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString IntText(long long value) { return QString::number(value); }

}  // namespace loggrevy
