#include "platform/cp936.h"

#include "platform/gbkbytes.h"

#include <algorithm>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <QStringDecoder>
#include <QStringEncoder>
#endif

namespace kestrune {

#ifdef Q_OS_WIN

namespace {

constexpr UINT Cp936 = 936;

void AppendDecoded(QString &text, QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(Cp936, 0, bytes.data(), length, nullptr, 0);
    const qsizetype at = text.size();
    text.resize(at + size);
    MultiByteToWideChar(Cp936, 0, bytes.data(), length,
                        reinterpret_cast<wchar_t *>(text.data() + at), size);
}

} // namespace

bool EncodeCp936(QStringView text, QByteArray &bytes)
{
    bytes.clear();
    if (text.isEmpty())
        return true;
    const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
    const int length = static_cast<int>(text.size());
    // Without WC_NO_BEST_FIT_CHARS Windows quietly sends a look-alike (À as à)
    // and reports nothing.
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(Cp936, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0,
                                         nullptr, &usedDefault);
    bytes.resize(size);
    WideCharToMultiByte(Cp936, WC_NO_BEST_FIT_CHARS, wide, length, bytes.data(), size, nullptr,
                        &usedDefault);
    return size > 0 && !usedDefault;
}

QString DecodeCp936(QByteArrayView bytes)
{
    // Windows turns a lead byte without its trail byte into '?' and swallows
    // the byte after it; the Linux build gives U+FFFD and keeps that byte. The
    // well-formed stretches between such places go to Windows whole.
    QString text;
    text.reserve(bytes.size());
    qsizetype start = 0;
    qsizetype at = 0;
    while (at < bytes.size()) {
        if (!IsLeadByte(static_cast<unsigned char>(bytes[at]))) {
            ++at;
        } else if (at + 1 < bytes.size() &&
                   IsTrailByte(static_cast<unsigned char>(bytes[at + 1]))) {
            at += 2;
        } else {
            AppendDecoded(text, bytes.sliced(start, at - start));
            text += QChar::ReplacementCharacter;
            start = ++at;
        }
    }
    AppendDecoded(text, bytes.sliced(start));
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
    // Most names and every level are ASCII, which code page 936 keeps as is.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; }))
        return QString::fromLatin1(bytes);
    // A space is never a second byte, so it flushes a dangling lead byte out
    // as U+FFFD instead of letting the decoder drop it; then it is cut off.
    QByteArray flushed(bytes.data(), bytes.size());
    flushed.append(' ');
    // Opening the codec costs far more than a name's decoding: one per thread.
    thread_local QStringDecoder decoder("GBK");
    decoder.resetState();
    QString text = decoder(flushed);
    text.chop(1);
    return text;
}

#endif

} // namespace kestrune
