#pragma once

#include <QByteArray>

namespace kestrune {

// Collects one request head that may arrive in pieces; any body is ignored.
class RequestReader
{
public:
    static constexpr qsizetype maxHeadBytes = qsizetype{16} * 1024;

    enum class Status
    {
        Incomplete,
        Complete,
        Invalid
    };

    Status feed(const QByteArray &bytes);
    Status status() const { return m_status; }
    const QByteArray &method() const { return m_method; }
    const QByteArray &target() const { return m_target; }

private:
    Status parseRequestLine(const QByteArray &line);

    QByteArray m_buffer;
    QByteArray m_method;
    QByteArray m_target;
    Status m_status = Status::Incomplete;
};

} // namespace kestrune
