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

// The four texts as given; a test may change them between pages, as a
// user's edits to the boxes would.
struct TextInputs final : ExportInputs
{
    TextInputs(QString forumName, QString fromRank, QString toRank, QString delay)
        : forumName(std::move(forumName))
        , fromRank(std::move(fromRank))
        , toRank(std::move(toRank))
        , delay(std::move(delay))
    {}
    QString ForumName() const override { return forumName; }
    QString FromRank() const override { return fromRank; }
    QString ToRank() const override { return toRank; }
    QString Delay() const override { return delay; }

    QString forumName;
    QString fromRank;
    QString toRank;
    QString delay;
};

} // namespace kestrune
