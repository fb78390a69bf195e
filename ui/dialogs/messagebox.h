#pragma once

#include "platform/usermessage.h"

#include <QList>
#include <QString>
#include <functional>

class QWidget;

namespace kestrune {

inline constexpr char ApplicationTitle[] = "Kestrune";

// The outcome boxes. They are window-modal and return at once, so the
// engine's signal is never held up in a nested event loop. A box deletes
// itself on close.
class MessageBox final
{
public:
    enum class Kind
    {
        Plain,  // no icon
        Notice, // something the user asked for, such as a stop
        Error,
    };
    // How the box went: OK, Enter and Escape give Ok.
    enum class Answer
    {
        Ok,
        Choice,      // the second button
        OtherChoice, // the third
    };
    struct Content
    {
        Kind kind = Kind::Plain;
        UserMessage message{QString()}; // the detail, if any, waits behind 显示详情…
        QString report{};               // below the message
        QString okText{};               // the default button's; OK when empty
        QString choice{};               // a second button beside the default OK
        QString otherChoice{};          // and a third
    };
    // Runs once the box has gone, so what it starts can show its own.
    using Closed = std::function<void(Answer)>;

    MessageBox() = delete;

    static void Show(QWidget *parent, const Content &content, Closed closed = {});
    static void Show(QWidget *parent, Kind kind, const UserMessage &message, Closed closed = {});

    // For tests: the next box is not shown; it closes on `answer` once the
    // event loop runs, as a click would. Each call answers one more box.
    static void SetNextAnswer(Answer answer);
    // What the boxes answered so, oldest first.
    static const QList<Content> &Answered();
    // Forgets the answers given and those left.
    static void ResetAnswers();
};

} // namespace kestrune
