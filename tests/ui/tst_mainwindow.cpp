#include "startup/startup.h"
#include "startup/startupmessages.h"
#include "tests/support/scriptedserver.h"
#include "tests/ui/windowfixture.h"
#include "ui/settingdialog.h"
#include "ui/updown.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QScopeGuard>
#include <QScreen>
#include <QSpinBox>
#include <QUrl>

using namespace kestrune;
using Answer = MessageBox::Answer;

namespace {

QAbstractButton *ButtonOf(const SettingDialog *dialog, QDialogButtonBox::StandardButton which)
{
    return dialog->findChild<QDialogButtonBox *>()->button(which);
}

// The setting dialog open now; one that has closed may not be gone yet.
SettingDialog *OpenDialog(const QWidget &window)
{
    for (SettingDialog *dialog : window.findChildren<SettingDialog *>())
        if (dialog->isVisible())
            return dialog;
    return nullptr;
}

// Puts `text` in the setting dialog's box; gives whether OK takes it.
bool Accepts(const SettingDialog *dialog, const QString &text)
{
    dialog->findChild<QLineEdit *>()->setText(text);
    return ButtonOf(dialog, QDialogButtonBox::Ok)->isEnabled();
}

struct Change
{
    const char *item = nullptr; // the menu item's object name
    QString before{};
    QString answer{}; // a CA file in the folder; empty: 清除
    bool remember = true;
};

struct Step
{
    int start = 10;
    QString typed{};          // over the box's text
    Qt::Key key = Qt::Key_Up; // which arrow is clicked or pressed
    bool mouse = false;
    int value = 0;
    bool stays = false; // the arrow cannot step: the typed text stays
};

const ScriptedServer::Reply Silent{
    .fault = ScriptedServer::Fault::Raw, .body = {}, .ending = ScriptedServer::Ending::Stay};

struct End
{
    QList<ScriptedServer::Reply> script{}; // two names a page
    QString toRank = QStringLiteral("60");
    QString delay = QStringLiteral("0"); // from page 1's end on
    bool stop = false;                   // once page 2 is asked for
    Answer answer = Answer::Ok;
    QString fromRankAfter = QStringLiteral("1");
    QByteArray results{};
    QString status{}; // panel 1 at the end
};

} // namespace

Q_DECLARE_METATYPE(Step)
Q_DECLARE_METATYPE(End)
Q_DECLARE_METATYPE(Change)

class TestMainWindow final : public WindowTest
{
    Q_OBJECT

public:
    // Stands in for the desktop's file manager, which the offscreen platform
    // lacks.
    Q_INVOKABLE void OpenUrl(const QUrl &url) { opened_ << url; }

private slots:
    void frame()
    {
        const MainWindow &window = f_->window;
        QCOMPARE(window.minimumSize(), window.maximumSize()); // not resizable
        const QPoint offCentre =
            window.geometry().center() - window.screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, "the window opens centred on the screen");
        QVERIFY(!window.windowIcon().isNull());
        // The status bar spans the window, panel 2 at its right-hand end.
        const StatusBar *bar = f_->Bar();
        QCOMPARE(bar->width(), window.width());
        QCOMPARE(bar->Panel2()->geometry().right(), bar->width() - 1);
    }

    void labelsShowWholeText()
    {
        const QStringList cjk = {"SimSun", "WenQuanYi Micro Hei", "Noto Sans CJK SC"};
        const QStringList installed = QFontDatabase::families();
        if (std::none_of(cjk.begin(), cjk.end(), [&installed](const QString &family) {
                return installed.contains(family);
            }))
            QSKIP("no CJK font installed");

        for (const QLabel *label : f_->window.findChildren<QLabel *>()) {
            const QRect room = label->contentsRect();
            const int flags =
                static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
            const QRect need = QFontMetrics(label->font()).boundingRect(room, flags, label->text());
            // A laid-out line rounds ascent and descent up separately.
            QVERIFY2(need.width() <= room.width() && need.height() <= room.height() + 2,
                     qPrintable(label->objectName()));
        }
    }

    void tabOrder()
    {
        QTRY_COMPARE(QApplication::focusWidget(), f_->Button());
        QStringList visited;
        for (int step = 0; step < 6; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, QStringList({"Text1", "Text2", "Text3", "UpDown1", "Text4", "Command1"}));
    }

    void spinControlFillsDelay_data()
    {
        QTest::addColumn<Step>("step");
        QTest::newRow("click up") << Step{.typed = "abc", .mouse = true, .value = 11};
        QTest::newRow("click down")
            << Step{.typed = "21", .key = Qt::Key_Down, .mouse = true, .value = 9};
        QTest::newRow("key up from typed") << Step{.typed = "0", .value = 1};
        QTest::newRow("key down from typed")
            << Step{.typed = "07", .key = Qt::Key_Down, .value = 6};
        QTest::newRow("full-width typed") << Step{.typed = "１９", .value = 20};
        QTest::newRow("top") << Step{
            .start = 20, .typed = "x", .mouse = true, .value = 20, .stays = true};
        QTest::newRow("bottom") << Step{
            .start = 0, .typed = "-1", .key = Qt::Key_Down, .value = 0, .stays = true};
    }

    void spinControlFillsDelay()
    {
        QFETCH(Step, step);
        auto *upDown = f_->Find<UpDown>("UpDown1");
        QLineEdit *text4 = f_->Box("Text4");
        QCOMPARE(upDown->value(), 10);
        upDown->setValue(step.start);
        QCOMPARE(text4->text(), QString::number(step.start));
        text4->clear();
        // As an input method hands it over, full-width forms included.
        QInputMethodEvent typing;
        typing.setCommitString(step.typed);
        QApplication::sendEvent(text4, &typing);
        QCOMPARE(text4->text(), step.typed); // the arrows never rewrite what is typed
        const QPoint arrow(upDown->width() / 2, step.key == Qt::Key_Up ? 3 : upDown->height() - 4);
        step.mouse ? QTest::mouseClick(upDown, Qt::LeftButton, {}, arrow)
                   : QTest::keyClick(upDown, step.key);
        QCOMPARE(upDown->value(), step.value);
        QCOMPARE(text4->text(), step.stays ? step.typed : QString::number(step.value));
    }

    // Unfocused, a rank box shows where its text starts, and all of it on hover.
    void rankBoxesShowTheirStart()
    {
        for (const char *name : {"Text2", "Text3"}) {
            QLineEdit *box = f_->Box(name);
            box->setFocus();
            QTRY_VERIFY(box->hasFocus());
            box->selectAll();
            QTest::keyClicks(box, QStringLiteral("10001"));
            QCOMPARE(box->cursorPosition(), 5);
            QCOMPARE(box->toolTip(), QStringLiteral("10001"));
            QTest::keyClick(box, Qt::Key_Tab);
            QCOMPARE(box->cursorPosition(), 0);
            box->setText(QStringLiteral("12000"));
            QCOMPARE(box->cursorPosition(), 0);
            box->setText(QStringLiteral("21"));
            QCOMPARE(box->toolTip(), QString());
        }
    }

    void exportsByKeyContinueNumbering()
    {
        f_->RunTo(QStringLiteral("60"));
        QByteArray expected;
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
            QTRY_COMPARE(QApplication::focusWidget(), f_->Button());
            MessageBox::SetNextAnswer(Answer::Ok);
            QSignalSpy completed(&f_->Engine(), &Exporter::completed);
            QTest::keyClick(f_->Button(), key);
            QCOMPARE(f_->Button()->text(), QStringLiteral("停止"));
            QVERIFY(completed.wait());
            QCOMPARE(f_->Button()->text(), QStringLiteral("导出"));
            const MessageBox::Content said = MessageBox::Answered().constLast();
            QCOMPARE(said.kind, MessageBox::Kind::Plain);
            QCOMPARE(said.message.text, Exporter::CompletionMessage());
            QVERIFY(said.report.startsWith(QStringLiteral("共 3 页、60 个名字")));
            expected += ExpectedPages(f_->forum, "Henu", 1, 3, expected.count("\r\n") + 1);
            QCOMPARE(f_->Results(), expected);
        }
    }

    // Each page tells the names written and, in its tip and the bar beside
    // it, the pages done; a wait before another try tells itself.
    void statusFollowsRun()
    {
        ScriptedServer server; // two names a page
        QVERIFY(server.Listen());
        server.Script({{.body = {}, .status = 503}, {}});
        f_->Engine().SetHost(LocalHost(server.Port()));
        f_->Engine().SetRetries(1);
        f_->RunTo(QStringLiteral("60"));
        const QLabel *panel = f_->Bar()->Panel1();
        const QProgressBar *bar = f_->Bar()->RunProgress();
        QStringList progress;
        connect(&f_->Engine(), &Exporter::pageFinished, this, [&progress, panel, bar] {
            progress << panel->text() + panel->toolTip() + (bar->isHidden() ? "" : bar->text());
        });
        QStringList retries; // told, and as it should be
        connect(&f_->Engine(), &Exporter::retryScheduled, this,
                [&retries, panel](qint64 page, int retry, qint64 ms) {
                    retries << panel->text() << DescribeRetry(page, retry, ms);
                });
        MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
        QSignalSpy completed(&f_->Engine(), &Exporter::completed);

        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QVERIFY(completed.wait());
        QCOMPARE(retries.size(), 2);
        QCOMPARE(retries.at(0), retries.at(1));
        QCOMPARE(progress.size(), 3);
        for (int page = 1; page <= 3; ++page) {
            const QString &shown = progress.at(page - 1);
            QVERIFY2(shown.contains(QStringLiteral("%1/3").arg(page)), qPrintable(shown));
            QVERIFY2(shown.contains(QStringLiteral("%1 个名字").arg(page * 2)), qPrintable(shown));
        }
        QVERIFY2(progress.constLast().endsWith(QStringLiteral("约 0 秒")),
                 qPrintable(progress.constLast()));
        // The counts stay until the next run.
        QVERIFY(bar->isHidden());
        QCOMPARE(panel->text(), QStringLiteral("第 3 页完成 · 6 个名字"));
    }

    void liveEditsTakeEffectOnNextPage()
    {
        QVERIFY(Open(fast_));
        f_->RunTo(QStringLiteral("60"));
        QList<QByteArray> targets;
        qint64 editedAt = 0;
        qint64 page3At = 0;
        connect(&f_->forum, &SampleForum::requestReceived, this, [&](const QByteArray &target) {
            targets << target;
            if (targets.size() == 3)
                page3At = fast_.MonotonicMilliseconds();
            if (targets.size() != 2)
                return;
            // While page 2 is on its way.
            editedAt = fast_.MonotonicMilliseconds();
            f_->Box("Text1")->setText(QStringLiteral("Kaifeng"));
            f_->Box("Text4")->setText(QStringLiteral("5"));
            // The range was read when the run began.
            f_->Box("Text2")->setText(QStringLiteral("41"));
            f_->Box("Text3")->setText(QStringLiteral("20"));
        });

        MessageBox::SetNextAnswer(Answer::Ok);
        QSignalSpy completed(&f_->Engine(), &Exporter::completed);
        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QVERIFY(completed.wait());
        QCOMPARE(targets.size(), 3);
        QVERIFY(targets.at(1).endsWith("kw=Henu&pn=2"));
        QVERIFY2(targets.at(2).endsWith("kw=Kaifeng&pn=3"), targets.at(2).constData());
        QVERIFY2(page3At - editedAt >= 500, "page 2 paused for the new delay");
        QCOMPARE(f_->Results(),
                 ExpectedPages(f_->forum, "Henu", 1, 2) +
                     ExpectedPages(f_->forum, QByteArrayLiteral("Kaifeng"), 3, 3, 41));
    }

    void closeDuringRunStops()
    {
        f_->forum.SetStallPage(1);
        QSignalSpy failed(&f_->Engine(), &Exporter::failed);
        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QTRY_COMPARE(f_->forum.RequestCount(), 1);

        QVERIFY(f_->window.close());
        QVERIFY(!f_->Engine().IsRunning());
        QCOMPARE(failed.size(), 1);
        QVERIFY(f_->window.findChildren<QMessageBox *>().isEmpty());
        QCOMPARE(f_->Results(), QByteArray());
    }

    // A run that ends early offers to carry on from the rank where it ended,
    // numbering on from the names it wrote; once the box has gone, a box that
    // cannot be used has the focus, its text selected to be typed over.
    void runEndsEarly_data()
    {
        const QList<ScriptedServer::Reply> resetOnce = {{}, ScriptedServer::ResetMidBody(), {}};
        QTest::addColumn<End>("end");
        const QString stopped = QStringLiteral("已停在第 2 页 · 2 个名字");
        QTest::newRow("stopped during a fetch")
            << End{.script = {{}, Silent}, .stop = true, .results = GoodLines(), .status = stopped};
        QTest::newRow("stopped during a pause")
            << End{.delay = "50", .stop = true, .results = GoodLines(), .status = stopped};
        QTest::newRow("failed, carried on")
            << End{.script = resetOnce,
                   .answer = Answer::Choice,
                   .fromRankAfter = "21",
                   .results = GoodLines(1) + GoodLines(3) + GoodLines(5),
                   .status = "第 3 页完成 · 4 个名字"};
        QTest::newRow("failed, OK") << End{
            .script = resetOnce, .results = GoodLines(), .status = "出错停在第 2 页 · 2 个名字"};
        QTest::newRow("unreadable rank, nothing began")
            << End{.toRank = "2O00", .status = MainWindow::CreditLine()};
    }

    void runEndsEarly()
    {
        QFETCH(End, end);
        ScriptedServer server;
        QVERIFY(server.Listen());
        server.Script(end.script);
        f_->Engine().SetHost(LocalHost(server.Port()));
        f_->RunTo(end.toRank);
        QLineEdit *text4 = f_->Box("Text4");
        connect(&f_->Engine(), &Exporter::pageFinished, text4, [&] { text4->setText(end.delay); });
        QSignalSpy failed(&f_->Engine(), &Exporter::failed);
        MessageBox::SetNextAnswer(end.answer);
        const bool carriesOn = end.answer == Answer::Choice;
        if (carriesOn)
            MessageBox::SetNextAnswer(Answer::Ok); // 导出完成！

        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        if (end.stop) {
            QTRY_COMPARE(server.Requests().size(), 2);
            const QString page = f_->dir.filePath(QLatin1String(PageFileName));
            QTRY_COMPARE(QFile(page).size() > 2, end.delay != "0"); // page 2 in temp.txt
            QTest::mouseClick(f_->Button(), Qt::LeftButton);
            QVERIFY(!f_->Engine().IsRunning());
        }
        QTRY_COMPARE(MessageBox::Answered().size(), carriesOn ? 2 : 1);
        QCOMPARE(failed.size(), 1);
        const ExportFailure failure = failed.at(0).at(0).value<ExportFailure>();
        const MessageBox::Content said = MessageBox::Answered().constFirst();
        QCOMPARE(said.kind, end.stop ? MessageBox::Kind::Notice : MessageBox::Kind::Error);
        QVERIFY(said.message.text.startsWith(DescribeFailure(failure).text.section(u'\n', 0, 0)));
        // The address and libcurl's words wait behind 显示详情….
        QCOMPARE(said.message.detail, DescribeFailure(failure).detail);
        QCOMPARE(said.message.detail.contains(LocalHost(server.Port())),
                 failure.cause == ExportFailure::Cause::PageFailed);
        QCOMPARE(said.choice, failure.RunStarted() ? "从第 21 名继续" : QString());
        if (failure.input) {
            QTRY_COMPARE(QApplication::focusWidget(), f_->Box("Text3"));
            QCOMPARE(f_->Box("Text3")->selectedText(), end.toRank);
        }
        QCOMPARE(f_->Box("Text2")->text(), end.fromRankAfter);
        QCOMPARE(f_->Button()->text(), QStringLiteral("导出"));
        QCOMPARE(f_->Results(), end.results);
        QCOMPARE(f_->Bar()->Panel1()->text(), end.status);
    }

    // The form's background, labels, button and status bar give the window's
    // menu; a box keeps its own edit menu.
    void contextMenu_data()
    {
        QTest::addColumn<QString>("control"); // right-clicked, or focused for Shift+F10
        QTest::addColumn<bool>("keyboard");
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("ours");
        QTest::newRow("background") << "Form1" << false << false << true;
        QTest::newRow("status bar") << "StatusBar1" << false << false << true;
        QTest::newRow("box") << "Text1" << false << false << false;
        QTest::newRow("Shift+F10 on the button") << "Command1" << true << false << true;
        QTest::newRow("Shift+F10 in a box") << "Text2" << true << false << false;
        QTest::newRow("button during a run") << "Command1" << false << true << true;
    }
    void contextMenu()
    {
        QFETCH(QString, control);
        QFETCH(bool, keyboard);
        QFETCH(bool, running);
        QFETCH(bool, ours);
        if (running) {
            f_->forum.SetStallPage(1);
            QTest::mouseClick(f_->Button(), Qt::LeftButton);
            QTRY_COMPARE(f_->forum.RequestCount(), 1);
        }
        QWidget *target = control == "Form1" ? &f_->window : f_->Find(qPrintable(control));
        if (keyboard) {
            target->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), target);
            QTest::keyClick(target, Qt::Key_F10, Qt::ShiftModifier);
        } else {
            // Through the window, as the platform hands a click on, so Qt
            // makes the menu request.
            const QPoint at = control == "Form1" ? QPoint(4, 4) : target->rect().center();
            QTest::mouseClick(f_->window.windowHandle(), Qt::RightButton, {},
                              target->mapTo(&f_->window, at));
        }
        QTRY_VERIFY(QApplication::activePopupWidget());
        QWidget *popup = QApplication::activePopupWidget();
        const auto *menu = f_->Find<QMenu>("ContextMenu");
        QCOMPARE(popup == menu, ours);
        popup->close();
        if (!ours)
            return;
        // A setting cannot change under a run; the folder can still be opened.
        for (const char *item :
             {"HostItem", "CaFileItem", "RetriesItem", "TimeoutItem", "OpenFolderItem"}) {
            QAction *action = f_->Find<QAction>(item);
            QVERIFY2(menu->actions().contains(action), item);
            QCOMPARE(action->isEnabled(), !running || action->objectName() == u"OpenFolderItem");
        }
    }

    // A setting's item shows the value in use, which the engine takes at once
    // and, with 记住, the settings file keeps.
    void settingFromMenu_data()
    {
        QTest::addColumn<Change>("change");
        QTest::newRow("CA file") << Change{.item = "CaFileItem", .answer = "ca.pem"};
        QTest::newRow("CA file cleared") << Change{.item = "CaFileItem", .before = "ca.pem"};
        QTest::newRow("retries") << Change{.item = "RetriesItem", .before = "2", .answer = "10"};
        QTest::newRow("timeout, not kept")
            << Change{.item = "TimeoutItem", .before = "20", .answer = "60", .remember = false};
    }
    void settingFromMenu()
    {
        QFETCH(Change, change);
        // The start-up check looks for a PEM block, not at what it holds.
        QFile pem(f_->dir.filePath(QStringLiteral("ca.pem")));
        QVERIFY(pem.open(QIODevice::WriteOnly));
        pem.write("-----BEGIN CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----\n");
        pem.close();
        Exporter &engine = f_->Engine();
        const QLatin1String item(change.item);
        const bool isFile = item == QLatin1String("CaFileItem");
        const bool retries = item == QLatin1String("RetriesItem");
        const auto value = [this, isFile](const QString &text) {
            return isFile && !text.isEmpty() ? f_->dir.filePath(text) : text;
        };
        const auto inUse = [&engine, isFile, retries] {
            return isFile ? engine.CaFile()
                          : QString::number(retries ? engine.Retries() : engine.TimeoutSeconds());
        };
        const auto stored = [this, isFile, retries] {
            const ForumSettings settings = f_->store.Read();
            return isFile ? settings.caFile : retries ? settings.retries : settings.timeout;
        };
        if (isFile)
            engine.SetCaFile(value(change.before));
        else
            retries ? engine.SetRetries(change.before.toInt())
                    : engine.SetTimeoutSeconds(change.before.toInt());

        f_->Find<QAction>(change.item)->trigger();
        SettingDialog *dialog = OpenDialog(f_->window);
        QVERIFY(dialog);
        auto *count = dialog->findChild<QSpinBox *>();
        QCOMPARE(isFile ? dialog->findChild<QLineEdit *>()->text() : count->cleanText(),
                 value(change.before));
        if (isFile) {
            QVERIFY(!Accepts(dialog, f_->dir.filePath(QStringLiteral("gone.pem"))));
            if (change.answer.isEmpty())
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("clear")),
                                  Qt::LeftButton);
            QVERIFY(change.answer.isEmpty() || Accepts(dialog, value(change.answer)));
        } else {
            count->setValue(change.answer.toInt());
        }
        dialog->findChild<QCheckBox *>()->setChecked(change.remember);
        QTest::mouseClick(ButtonOf(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        QCOMPARE(inUse(), value(change.answer));
        QCOMPARE(stored().value_or(QString()), change.remember ? value(change.answer) : QString());
    }

    // The first two exports of a window that nothing gave a forum's address.
    void askForHostOnFirstExport_data()
    {
        QTest::addColumn<bool>("answer"); // OK, else Cancel
        QTest::addColumn<bool>("remember");
        QTest::addColumn<bool>("unwritable"); // the settings file
        QTest::newRow("cancel") << false << true << false;
        QTest::newRow("remembered") << true << true << false;
        QTest::newRow("this run only") << true << false << false;
        QTest::newRow("not saved") << true << true << true;
    }
    void askForHostOnFirstExport()
    {
        QFETCH(bool, answer);
        QFETCH(bool, remember);
        QFETCH(bool, unwritable);
        // A file where the folder should be: refused even to root.
        QFile blocker(f_->dir.filePath(QStringLiteral("blocked")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const SettingsStore store(f_->dir.filePath(QLatin1String(unwritable ? "blocked/k" : "k")));
        f_->Engine().SetHost(DefaultForumHost()); // as start-up leaves it
        f_->window.UseSettings(store, true);
        f_->RunTo(QStringLiteral("20"));

        QByteArray expected;
        for (int press = 0; press < 2; ++press) {
            const bool asks = press == 0 || !answer;
            if (answer && asks && unwritable)
                MessageBox::SetNextAnswer(Answer::Ok); // not saved
            if (answer)
                MessageBox::SetNextAnswer(Answer::Ok); // 导出完成！
            QSignalSpy completed(&f_->Engine(), &Exporter::completed);
            QTest::mouseClick(f_->Button(), Qt::LeftButton);
            if (asks) {
                const SettingDialog *dialog = OpenDialog(f_->window);
                QVERIFY(dialog);
                const auto *problem = dialog->findChild<QLabel *>(QStringLiteral("problem"));
                QCOMPARE(dialog->findChild<QLineEdit *>()->text(), QString());
                QVERIFY(!Accepts(dialog, QStringLiteral("a b")));
                QCOMPARE(problem->text(),
                         DescribeHostError(*CheckHost(QStringLiteral("a b")).error));
                QVERIFY(Accepts(dialog, LocalHost(f_->forum.ServerPort())));
                QCOMPARE(problem->text(), QString());
                dialog->findChild<QCheckBox *>()->setChecked(remember);
                QTest::mouseClick(
                    ButtonOf(dialog, answer ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                    Qt::LeftButton);
            }
            if (!answer)
                continue;
            QVERIFY(completed.wait());
            expected += ExpectedPages(f_->forum, "Henu", 1, 1, expected.count("\r\n") + 1);
        }
        QCOMPARE(f_->Results(), expected);
        const bool stored = answer && remember && !unwritable;
        QCOMPARE(store.Read().host.value_or(QString()),
                 stored ? LocalHost(f_->forum.ServerPort()) : QString());
        QCOMPARE(QFile::exists(store.File()), stored);
        if (unwritable) // the box names the file that was not written
            QVERIFY(MessageBox::Answered().constFirst().message.text.contains(
                QDir::toNativeSeparators(store.File())));
    }

    // From the completion box and from the menu; where nothing on the desktop
    // opens folders, a box names the folder the file is in.
    void openResultsFolder_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<bool>("opens");
        QTest::newRow("completion box") << false << true;
        QTest::newRow("completion box, nothing opens folders") << false << false;
        QTest::newRow("menu") << true << true;
        QTest::newRow("menu, nothing opens folders") << true << false;
    }
    void openResultsFolder()
    {
        QFETCH(bool, fromMenu);
        QFETCH(bool, opens);
        opened_.clear();
        if (opens)
            QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "OpenUrl");
        const auto unset =
            qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); });
        if (!fromMenu) {
            f_->RunTo(QStringLiteral("20"));
            MessageBox::SetNextAnswer(Answer::Choice); // 打开所在文件夹
        }
        if (!opens)
            MessageBox::SetNextAnswer(Answer::Ok);
        if (fromMenu)
            f_->Find<QAction>("OpenFolderItem")->trigger();
        else
            QTest::mouseClick(f_->Button(), Qt::LeftButton);
        const QString folder = f_->Engine().Directory().absolutePath();
        if (opens) {
            QTRY_COMPARE(opened_, QList<QUrl>{QUrl::fromLocalFile(folder)});
            return;
        }
        QTRY_COMPARE(MessageBox::Answered().size(), fromMenu ? 1 : 2);
        const MessageBox::Content said = MessageBox::Answered().constLast();
        QCOMPARE(said.kind, MessageBox::Kind::Error);
        QVERIFY(said.message.text.contains(QDir::toNativeSeparators(folder)));
    }

private:
    QList<QUrl> opened_;
    // Five times faster: a fetch still has 600 ms, under Wine too, before it
    // times out.
    const FastClock fast_{5, 0};
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
