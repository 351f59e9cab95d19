#include "render/QtText.h"

#include "data/Text1252.h"

namespace presenze {

QString fromCp1252(std::string_view text)
{
    const std::string utf8 = cp1252ToUtf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string toCp1252(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return utf8ToCp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString captionText(const QString& text)
{
    QString caption = text;
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString captionFromCp1252(std::string_view text)
{
    return captionText(fromCp1252(text));
}

} // namespace presenze
