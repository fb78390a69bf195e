#pragma once

#include <QByteArray>

namespace kestrune {

// Collects one request head that may arrive in pieces; any body is ignored.
class RequestReader
{
public:
    static constexpr qsizetype MaxHeadBytes = qsizetype{16} * 1024;

    enum class Status
    {
        Incomplete,
        Complete,
        Invalid
    };

    Status Feed(const QByteArray &bytes);
    Status CurrentStatus() const { return status_; }
    const QByteArray &Method() const { return method_; }
    const QByteArray &Target() const { return target_; }

private:
    Status ParseRequestLine(const QByteArray &line);

    QByteArray buffer_;
    QByteArray method_;
    QByteArray target_;
    Status status_ = Status::Incomplete;
};

} // namespace kestrune
