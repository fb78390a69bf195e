#include "ui/dialogs/messagebox.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTextBoundaryFinder>
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
                          .report = QStringLiteral("已全部保存"),
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
        QCOMPARE(shown->informativeText(), QStringLiteral("已全部保存"));
        QCOMPARE(shown->buttons().size(), box.choice.isEmpty() ? 2 : 3); // 显示详情… too
        for (QAbstractButton *button : shown->buttons())
            if (box.key == Qt::Key_unknown && button->text() == box.choice)
                QTest::mouseClick(button, Qt::LeftButton);
        if (box.key != Qt::Key_unknown)
            QTest::keyClick(shown, box.key);
        QCOMPARE(answer, std::optional(box.answer));
    }

    // The report's first line whole in the box as shown; wherever a line may
    // end, the path breaks only after a separator and "10 秒" stays whole.
    void pathsBreakAtSeparators()
    {
        QWidget window;
        window.show();
        const QString path = QDir::toNativeSeparators(
            QStringLiteral("/home/张三/导出结果-2024/kestrune-demo/jieguo.txt"));
        const QString time = QStringLiteral("10 秒");
        MessageBox::Show(
            &window,
            {.message = {QStringLiteral("导出完成！")},
             .report =
                 QStringLiteral("共 3 页、60 个名字，用时 %1\n结果文件：%2").arg(time, path)});
        const auto *label =
            window.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"));
        QVERIFY(label && label->isVisible());
        const QString text = label->text();
        QVERIFY(QFontMetrics(label->font()).horizontalAdvance(text.section(u'\n', 0, 0)) <=
                label->contentsRect().width());

        const auto visible = [](QString text) {
            return text.remove(QChar(0x200B)).remove(QChar(0x2060)).replace(QChar(0xA0), u' ');
        };
        QCOMPARE(visible(text.section(u'\n', 1)), QStringLiteral("结果文件：") + path);
        const qsizetype pathStart = text.indexOf(u'：') + 1;
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
        for (qsizetype at = breaks.toNextBoundary(); at > 0 && at < text.size();
             at = breaks.toNextBoundary()) {
            const QString before = visible(text.left(at));
            for (qsizetype cut = 1; cut < time.size(); ++cut)
                QVERIFY2(!before.endsWith(time.left(cut)), qPrintable(before));
            QVERIFY2(at <= pathStart || before.endsWith(QDir::separator()), qPrintable(before));
        }
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
