#include "ui/messagebox.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <optional>

using namespace kestrune;
using Answer = MessageBox::Answer;

namespace {

struct Box
{
    MessageBox::Kind kind = MessageBox::Kind::Plain;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString choice{};
    Qt::Key key = Qt::Key_Return; // none: the choice is clicked
    Answer answer = Answer::Ok;
    bool ahead = false; // answered so, not shown, as in tests
};

} // namespace

Q_DECLARE_METATYPE(Box)

// Window-modal, the box returns at once and answers once it has gone; one
// answered ahead is not shown, and answers once the event loop runs.
class TestMessageBox final : public QObject
{
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<Box>("box");
        QTest::newRow("plain, OK alone") << Box{};
        QTest::newRow("notice, Enter stays with OK") << Box{
            .kind = MessageBox::Kind::Notice, .icon = QMessageBox::Information, .choice = "继续"};
        QTest::newRow("error, Escape stays with OK") << Box{.kind = MessageBox::Kind::Error,
                                                            .icon = QMessageBox::Warning,
                                                            .choice = "继续",
                                                            .key = Qt::Key_Escape};
        QTest::newRow("the choice")
            << Box{.choice = "继续", .key = Qt::Key_unknown, .answer = Answer::Choice};
        QTest::newRow("answered ahead")
            << Box{.choice = "继续", .answer = Answer::Choice, .ahead = true};
    }
    void answers()
    {
        QFETCH(Box, box);
        QWidget window;
        window.show();
        if (box.ahead)
            MessageBox::SetNextAnswer(box.answer);
        std::optional<Answer> answer;
        MessageBox::Show(&window,
                         {.kind = box.kind,
                          .message = {QStringLiteral("出错了"), QStringLiteral("细节")},
                          .report = QStringLiteral("共 1 页"),
                          .choice = box.choice},
                         [&answer, &window](Answer given) {
                             const auto *shown = window.findChild<QMessageBox *>();
                             if (!shown || !shown->isVisible())
                                 answer = given;
                         });
        if (box.ahead) {
            QVERIFY(!window.findChild<QMessageBox *>() && !answer);
            QCOMPARE(MessageBox::Answered().constLast().message.text, QStringLiteral("出错了"));
            QTRY_COMPARE(answer, std::optional(box.answer));
            return MessageBox::ResetAnswers();
        }
        auto *shown = window.findChild<QMessageBox *>();
        QVERIFY(shown && shown->isVisible());
        QCOMPARE(shown->windowTitle(), QStringLiteral("Kestrune"));
        QCOMPARE(shown->icon(), box.icon);
        QCOMPARE(shown->detailedText(), QStringLiteral("细节"));
        QCOMPARE(shown->informativeText(), QStringLiteral("共 1 页"));
        QCOMPARE(shown->buttons().size(), box.choice.isEmpty() ? 2 : 3); // 显示详情… too
        for (QAbstractButton *button : shown->buttons())
            if (box.key == Qt::Key_unknown && button->text() == box.choice)
                QTest::mouseClick(button, Qt::LeftButton);
        if (box.key != Qt::Key_unknown)
            QTest::keyClick(shown, box.key);
        QCOMPARE(answer, std::optional(box.answer));
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
