#include "ui/messagebox.h"

#include <QCoreApplication>
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
    auto *box = new QMessageBox(IconOf(content.kind), QLatin1String(ApplicationTitle),
                                content.message.text, QMessageBox::Ok, parent);
    box->setDetailedText(content.message.detail);
    if (!content.report.isEmpty())
        box->setInformativeText(content.report);
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
