#include "cp936.h"

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <QStringDecoder>
#include <QStringEncoder>
#endif

namespace kestrune {

#ifdef Q_OS_WIN

bool EncodeCp936(QStringView text, QByteArray &bytes)
{
    bytes.clear();
    if (text.isEmpty())
        return true;
    const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(936, 0, wide, length, nullptr, 0, nullptr, &usedDefault);
    bytes.resize(size);
    WideCharToMultiByte(936, 0, wide, length, bytes.data(), size, nullptr, &usedDefault);
    return size > 0 && !usedDefault;
}

QString DecodeCp936(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(936, 0, bytes.data(), length, nullptr, 0);
    QString text(size, Qt::Uninitialized);
    MultiByteToWideChar(936, 0, bytes.data(), length, reinterpret_cast<wchar_t *>(text.data()),
                        size);
    return text;
}

#else

bool EncodeCp936(QStringView text, QByteArray &bytes)
{
    QStringEncoder encoder("GBK");
    bytes = encoder(text);
    return encoder.isValid() && !encoder.hasError();
}

QString DecodeCp936(QByteArrayView bytes)
{
    // A space is never a second byte, so it flushes a dangling lead byte out
    // as U+FFFD instead of letting the decoder drop it; then it is cut off.
    QByteArray flushed(bytes.data(), bytes.size());
    flushed.append(' ');
    QStringDecoder decoder("GBK");
    QString text = decoder(flushed);
    text.chop(1);
    return text;
}

#endif

} // namespace kestrune
