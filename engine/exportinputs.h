#pragma once

#include <QString>

namespace kestrune {

// The four texts an export reads; the forum name and the delay are asked for
// anew on every page, so a window can hand over what its boxes hold now.
class ExportInputs
{
public:
    virtual ~ExportInputs() = default;
    virtual QString ForumName() const = 0;
    virtual QString FromRank() const = 0;
    virtual QString ToRank() const = 0;
    virtual QString Delay() const = 0;
};

class FixedInputs final : public ExportInputs
{
public:
    FixedInputs(QString forumName, QString fromRank, QString toRank, QString delay)
        : forumName_(std::move(forumName))
        , fromRank_(std::move(fromRank))
        , toRank_(std::move(toRank))
        , delay_(std::move(delay))
    {}
    QString ForumName() const override { return forumName_; }
    QString FromRank() const override { return fromRank_; }
    QString ToRank() const override { return toRank_; }
    QString Delay() const override { return delay_; }

private:
    QString forumName_;
    QString fromRank_;
    QString toRank_;
    QString delay_;
};

} // namespace kestrune
