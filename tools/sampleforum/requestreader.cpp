#include "tools/sampleforum/requestreader.h"

#include <QList>

namespace kestrune {

RequestReader::Status RequestReader::Feed(const QByteArray &bytes)
{
    if (status_ != Status::Incomplete)
        return status_;

    buffer_ += bytes;
    // Stray line breaks before a request line are allowed.
    qsizetype start = 0;
    while (start < buffer_.size() && (buffer_.at(start) == '\r' || buffer_.at(start) == '\n'))
        ++start;
    buffer_.remove(0, start);

    qsizetype end = buffer_.indexOf("\r\n\r\n");
    const qsizetype bareEnd = buffer_.indexOf("\n\n");
    if (end < 0 || (bareEnd >= 0 && bareEnd < end))
        end = bareEnd;
    if (end < 0) {
        if (buffer_.size() > MaxHeadBytes)
            status_ = Status::Invalid;
        return status_;
    }
    if (end > MaxHeadBytes) {
        status_ = Status::Invalid;
        return status_;
    }

    QByteArray line = buffer_.left(buffer_.indexOf('\n'));
    if (line.endsWith('\r'))
        line.chop(1);
    status_ = ParseRequestLine(line);
    buffer_.clear();
    return status_;
}

RequestReader::Status RequestReader::ParseRequestLine(const QByteArray &line)
{
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3 || parts[0].isEmpty() || !parts[2].startsWith("HTTP/1."))
        return Status::Invalid;
    if (!parts[1].startsWith('/') && !parts[1].startsWith("http://"))
        return Status::Invalid;
    method_ = parts[0];
    target_ = parts[1];
    return Status::Complete;
}

} // namespace kestrune
