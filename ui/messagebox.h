#pragma once

#include "platform/usermessage.h"

#include <QString>
#include <functional>

class QMessageBox;
class QWidget;

namespace kestrune {

inline constexpr char ApplicationTitle[] = "Kestrune";

// The outcome boxes. They are window-modal and return at once, so the
// engine's signal is never held up in a nested event loop, and a test finds
// the box as QApplication::activeModalWidget(). A box deletes itself on close.
class MessageBox final
{
public:
    enum class Kind
    {
        Plain,  // no icon
        Notice, // something the user asked for, such as a stop
        Error,
    };

    MessageBox() = delete;

    // The detail, if any, waits behind 显示详情….
    static QMessageBox *Show(QWidget *parent, Kind kind, const UserMessage &message);
    // The same with a second button beside the default OK; `chosen` runs once
    // the box has closed on that button.
    static QMessageBox *ShowWithChoice(QWidget *parent, Kind kind, const UserMessage &message,
                                       const QString &choice, std::function<void()> chosen);
};

} // namespace kestrune
