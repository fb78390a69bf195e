#include "requestreader.h"

#include <QList>

namespace kestrune {

RequestReader::Status RequestReader::feed(const QByteArray &bytes)
{
    if (m_status != Status::Incomplete)
        return m_status;

    m_buffer += bytes;
    // Stray line breaks before a request line are allowed.
    qsizetype start = 0;
    while (start < m_buffer.size() && (m_buffer.at(start) == '\r' || m_buffer.at(start) == '\n'))
        ++start;
    m_buffer.remove(0, start);

    qsizetype end = m_buffer.indexOf("\r\n\r\n");
    const qsizetype bareEnd = m_buffer.indexOf("\n\n");
    if (end < 0 || (bareEnd >= 0 && bareEnd < end))
        end = bareEnd;
    if (end < 0) {
        if (m_buffer.size() > maxHeadBytes)
            m_status = Status::Invalid;
        return m_status;
    }
    if (end > maxHeadBytes) {
        m_status = Status::Invalid;
        return m_status;
    }

    QByteArray line = m_buffer.left(m_buffer.indexOf('\n'));
    if (line.endsWith('\r'))
        line.chop(1);
    m_status = parseRequestLine(line);
    m_buffer.clear();
    return m_status;
}

RequestReader::Status RequestReader::parseRequestLine(const QByteArray &line)
{
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3 || parts[0].isEmpty() || !parts[2].startsWith("HTTP/1."))
        return Status::Invalid;
    if (!parts[1].startsWith('/') && !parts[1].startsWith("http://"))
        return Status::Invalid;
    m_method = parts[0];
    m_target = parts[1];
    return Status::Complete;
}

} // namespace kestrune
