#include "ui/dialogs/messagebox.h"

#include "ui/dialogs/boxtext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace kestrune {

namespace {

QMessageBox::Icon IconOf(MessageBox::Kind kind)
{
    switch (kind) {
    case MessageBox::Kind::Plain:
        break;
    case MessageBox::Kind::Notice:
        return QMessageBox::Information;
    case MessageBox::Kind::Error:
        return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

// Wide enough for a sentence, and a path broken into few lines.
constexpr int MinimumCharacters = 28;

class Box final : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

    void SetTexts(const MessageBox::Content &content)
    {
        setText(BoxText(content.message.text));
        if (!content.report.isEmpty())
            setInformativeText(BoxText(content.report));
        setDetailedText(content.message.detail);
        // QMessageBox's own names for its two texts.
        for (const char *name : {"qt_msgbox_label", "qt_msgbox_informativelabel"})
            if (auto *label = findChild<QLabel *>(QLatin1String(name)))
                label->setMinimumWidth(QFontMetrics(label->font())
                                           .horizontalAdvance(QString(MinimumCharacters, u'中')));
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!event->matches(QKeySequence::Copy))
            return QMessageBox::keyPressEvent(event);
        // Where the box copies its texts (Windows), they go out as written.
        QClipboard *clipboard = QGuiApplication::clipboard();
        const QString before = clipboard->text();
        QMessageBox::keyPressEvent(event);
        if (const QString copied = clipboard->text(); copied != before)
            clipboard->setText(PlainText(copied));
    }
};

struct Answers
{
    QList<MessageBox::Answer> next;
    QList<MessageBox::Content> given;
};

Answers &TestAnswers()
{
    static Answers answers;
    return answers;
}

} // namespace

void MessageBox::Show(QWidget *parent, const Content &content, Closed closed)
{
    if (Answers &answers = TestAnswers(); !answers.next.isEmpty()) {
        answers.given << content;
        QObject *context = parent ? static_cast<QObject *>(parent) : QCoreApplication::instance();
        QMetaObject::invokeMethod(
            context,
            [answer = answers.next.takeFirst(), closed = std::move(closed)] {
                if (closed)
                    closed(answer);
            },
            Qt::QueuedConnection);
        return;
    }
    auto *box = new Box(IconOf(content.kind), QLatin1String(ApplicationTitle), QString(),
                        QMessageBox::Ok, parent);
    box->SetTexts(content);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (!content.okText.isEmpty())
        box->button(QMessageBox::Ok)->setText(content.okText);
    const QPushButton *choice = nullptr;
    const QPushButton *otherChoice = nullptr;
    if (!content.choice.isEmpty())
        choice = box->addButton(content.choice, QMessageBox::AcceptRole);
    if (!content.otherChoice.isEmpty())
        otherChoice = box->addButton(content.otherChoice, QMessageBox::AcceptRole);
    // Enter and Escape both stay with OK.
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
    if (closed)
        QObject::connect(box, &QDialog::finished, box,
                         [box, choice, otherChoice, closed = std::move(closed)] {
                             const QAbstractButton *clicked = box->clickedButton();
                             closed(choice && clicked == choice             ? Answer::Choice
                                    : otherChoice && clicked == otherChoice ? Answer::OtherChoice
                                                                            : Answer::Ok);
                         });
    box->open();
}

void MessageBox::Show(QWidget *parent, Kind kind, const UserMessage &message, Closed closed)
{
    Show(parent, {.kind = kind, .message = message}, std::move(closed));
}

void MessageBox::SetNextAnswer(Answer answer)
{
    TestAnswers().next << answer;
}

const QList<MessageBox::Content> &MessageBox::Answered()
{
    return TestAnswers().given;
}

void MessageBox::ResetAnswers()
{
    TestAnswers() = {};
}

} // namespace kestrune
