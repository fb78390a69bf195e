#pragma once

#include <QString>
#include <utility>

namespace kestrune {

// What a user is told: sentences in the user's words, and apart from them
// the lower layers' own words (addresses, library messages, byte offsets),
// which the window hides behind 显示详情… and the console indents.
struct UserMessage
{
    // A sentence alone is a message without detail.
    UserMessage(QString text, QString detail = {})
        : text(std::move(text))
        , detail(std::move(detail))
    {}

    QString text;   // lines separated by '\n'
    QString detail; // may be empty
};

} // namespace kestrune
