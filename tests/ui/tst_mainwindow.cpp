#include "platform/clock.h"
#include "startup/startup.h"
#include "startup/startupmessages.h"
#include "tests/support/expectedresults.h"
#include "tests/support/fixtures.h"
#include "tests/support/scriptedserver.h"
#include "tools/sampleforum/sampleforum.h"
#include "ui/mainwindow.h"
#include "ui/settingdialog.h"
#include "ui/settingwords.h"
#include "ui/statusbar.h"
#include "ui/updown.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

using namespace kestrune;

namespace {

const QByteArray Henu = QByteArrayLiteral("Henu");

template <typename Dialog = QMessageBox> Dialog *WaitForBox()
{
    const auto box = [] {
        return qobject_cast<Dialog *>(QApplication::activeModalWidget());
    };
    return QTest::qWaitFor([&box] { return box() != nullptr; }, 10000) ? box() : nullptr;
}

QAbstractButton *ButtonOf(const SettingDialog *dialog, QDialogButtonBox::StandardButton which)
{
    return dialog->findChild<QDialogButtonBox *>()->button(which);
}

// Puts `text` in the setting dialog's box; gives whether OK takes it.
bool Answer(const SettingDialog *dialog, const QString &text)
{
    dialog->findChild<QLineEdit *>()->setText(text);
    return ButtonOf(dialog, QDialogButtonBox::Ok)->isEnabled();
}

// Waits for the box to go and the window to have the focus back.
bool BoxClosed(QWidget *window)
{
    if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }))
        return false;
    // No window manager hands the activation back here.
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// Waits for the outcome box, presses its OK button and gives its text.
QString DismissBox(QWidget *window)
{
    QMessageBox *box = WaitForBox();
    if (!box)
        return QStringLiteral("no box");
    const QString text = box->text();
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    return BoxClosed(window) ? text : QStringLiteral("box stays");
}

struct Fixture
{
    explicit Fixture(const Clock &clock)
        : window(clock)
    {}

    SampleForum forum;
    QTemporaryDir dir;
    const SettingsStore store{dir.filePath(QStringLiteral("k.conf"))};
    MainWindow window; // last, so it goes first: a run never outlives the forum

    template <typename Widget> Widget *Find(const char *name)
    {
        return window.findChild<Widget *>(QLatin1String(name));
    }
    QLineEdit *Box(const char *name) { return Find<QLineEdit>(name); }
    QPushButton *Button() { return Find<QPushButton>("Command1"); }
    // Pages up to `toRank`, with no pause between them.
    void RunTo(const char *toRank)
    {
        Box("Text3")->setText(QLatin1String(toRank));
        Box("Text4")->setText(QStringLiteral("0"));
    }
    Exporter &Engine() { return window.Engine(); }
    QByteArray Results() const { return FileBytes(dir.filePath(QLatin1String(ResultsFileName))); }
};

// Stands in for the desktop's file manager, which the offscreen platform lacks.
class FolderOpener final : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;
    Q_INVOKABLE void Open(const QUrl &url) { opened << url; }
};

} // namespace

class TestMainWindow final : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(Open(SystemClock::Instance())); }
    void cleanup() { f_.reset(); }

    void frame()
    {
        const MainWindow &window = f_->window;
        QCOMPARE(window.minimumSize(), QSize(312, 209));
        QCOMPARE(window.maximumSize(), QSize(312, 209));
        const QPoint offCentre =
            window.geometry().center() - window.screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, "the window opens centred on the screen");

        const QList<QSize> iconSizes = window.windowIcon().availableSizes();
        QCOMPARE(iconSizes.count(QSize(16, 16)), 2);
        QCOMPARE(iconSizes.count(QSize(64, 64)), 1);

        const auto *bar = f_->Find<StatusBar>("StatusBar1");
        QCOMPARE(bar->width(), window.width());
        QCOMPARE(bar->Panel1()->text(), MainWindow::CreditLine());
        QCOMPARE(bar->Panel2()->width(), 96);
        QCOMPARE(bar->Panel2()->geometry().right(), bar->width() - 1);
        QVERIFY(bar->Panel1()->width() >= 96);
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
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("typed"); // over the box's text
        QTest::addColumn<Qt::Key>("key");   // which arrow is clicked or pressed
        QTest::addColumn<bool>("mouse");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text"); // after the arrow
        QTest::newRow("click up") << 10 << "abc" << Qt::Key_Up << true << 11 << "11";
        QTest::newRow("click down") << 10 << "21" << Qt::Key_Down << true << 9 << "9";
        QTest::newRow("key up from typed") << 10 << "0" << Qt::Key_Up << false << 1 << "1";
        QTest::newRow("key down from typed") << 10 << "07" << Qt::Key_Down << false << 6 << "6";
        QTest::newRow("full-width typed") << 10 << "１９" << Qt::Key_Up << false << 20 << "20";
        QTest::newRow("top") << 20 << "x" << Qt::Key_Up << true << 20 << "x";
        QTest::newRow("bottom") << 0 << "-1" << Qt::Key_Down << false << 0 << "-1";
    }

    void spinControlFillsDelay()
    {
        QFETCH(int, start);
        QFETCH(QString, typed);
        QFETCH(Qt::Key, key);
        QFETCH(bool, mouse);
        QFETCH(int, value);
        QFETCH(QString, text);

        auto *upDown = f_->Find<UpDown>("UpDown1");
        QLineEdit *text4 = f_->Box("Text4");
        QCOMPARE(upDown->value(), 10);
        upDown->setValue(start);
        QCOMPARE(text4->text(), QString::number(start));
        text4->clear();
        // As an input method hands it over, full-width forms included.
        QInputMethodEvent typing;
        typing.setCommitString(typed);
        QApplication::sendEvent(text4, &typing);
        QCOMPARE(text4->text(), typed); // the arrows never rewrite what is typed
        const QPoint arrow(upDown->width() / 2, key == Qt::Key_Up ? 3 : upDown->height() - 4);
        mouse ? QTest::mouseClick(upDown, Qt::LeftButton, {}, arrow) : QTest::keyClick(upDown, key);
        QCOMPARE(upDown->value(), value);
        QCOMPARE(text4->text(), text);
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
        f_->RunTo("60");
        QLabel *panel1 = f_->Find<StatusBar>("StatusBar1")->Panel1();
        const QProgressBar *bar = f_->Find<StatusBar>("StatusBar1")->RunProgress();
        QStringList progress;
        connect(&f_->Engine(), &Exporter::pageFinished, panel1, [&progress, panel1, bar] {
            progress << panel1->text() + panel1->toolTip() +
                            (bar->isHidden() ? QString() : bar->text());
        });

        QByteArray expected;
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
            progress.clear();
            QTRY_COMPARE(QApplication::focusWidget(), f_->Button());
            QTest::keyClick(f_->Button(), key);
            QCOMPARE(f_->Button()->text(), QStringLiteral("停止"));
            const QMessageBox *box = WaitForBox();
            QVERIFY(box);
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->windowTitle(), QStringLiteral("Kestrune"));
            QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            // A second button opens the folder; Enter stays with OK.
            QCOMPARE(box->buttons().size(), 2);
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Ok));
            QVERIFY(box->informativeText().startsWith(QStringLiteral("共 3 页、60 个名字")));
            QCOMPARE(DismissBox(&f_->window), Exporter::CompletionMessage());
            QCOMPARE(f_->Button()->text(), QStringLiteral("导出"));
            QCOMPARE(progress.size(), 3);
            QVERIFY(bar->isHidden());
            QVERIFY2(progress.constLast().endsWith(QStringLiteral("约 0 秒")),
                     qPrintable(progress.constLast()));
            for (int page = 1; page <= 3; ++page) {
                QVERIFY2(progress.at(page - 1).contains(QStringLiteral("%1/3").arg(page)),
                         qPrintable(progress.at(page - 1)));
                QVERIFY(progress.at(page - 1).contains(QStringLiteral("%1 个名字").arg(page * 20)));
            }
            expected += ExpectedPages(f_->forum, Henu, 1, 3, expected.count("\r\n") + 1);
            QCOMPARE(f_->Results(), expected);
        }
    }

    void liveEditsTakeEffectOnNextPage()
    {
        QVERIFY(Open(fast_));
        f_->RunTo("60");
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

        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QCOMPARE(DismissBox(&f_->window), Exporter::CompletionMessage());
        QCOMPARE(targets.size(), 3);
        QVERIFY(targets.at(1).endsWith("kw=Henu&pn=2"));
        QVERIFY2(targets.at(2).endsWith("kw=Kaifeng&pn=3"), targets.at(2).constData());
        QVERIFY2(page3At - editedAt >= 500, "page 2 paused for the new delay");
        QCOMPARE(f_->Results(),
                 ExpectedPages(f_->forum, Henu, 1, 2) +
                     ExpectedPages(f_->forum, QByteArrayLiteral("Kaifeng"), 3, 3, 41));
    }

    void stopKeepsWrittenLines_data()
    {
        QTest::addColumn<qint64>("stallPage");
        QTest::addColumn<QString>("delay");   // from page 1's end on
        QTest::addColumn<bool>("pageStored"); // page 2 is in temp.txt when 停止 is pressed
        QTest::newRow("during a fetch") << qint64(2) << "0" << false;
        QTest::newRow("during a pause") << qint64(0) << "50" << true;
    }

    void stopKeepsWrittenLines()
    {
        QFETCH(qint64, stallPage);
        QFETCH(QString, delay);
        QFETCH(bool, pageStored);
        QLineEdit *text4 = f_->Box("Text4");
        f_->RunTo("60");
        connect(&f_->Engine(), &Exporter::pageFinished, text4, [&] { text4->setText(delay); });
        f_->forum.SetStallPage(stallPage);
        QSignalSpy requests(&f_->forum, &SampleForum::requestReceived);

        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QTRY_COMPARE(requests.size(), 2);
        const QString page = f_->dir.filePath(QLatin1String(PageFileName));
        QTRY_COMPARE(QFile(page).size() > 2, pageStored);
        QCOMPARE(f_->Button()->text(), QStringLiteral("停止"));
        QTest::mouseClick(f_->Button(), Qt::LeftButton);

        const QMessageBox *box = WaitForBox();
        QVERIFY(box);
        QCOMPARE(box->buttons().size(), 2); // 确定 and 从第 21 名继续
        QCOMPARE(box->buttons().at(1)->text(), QStringLiteral("从第 21 名继续"));
        const QString text = DismissBox(&f_->window);
        QVERIFY2(text.contains(QStringLiteral("停止")), qPrintable(text));
        QCOMPARE(f_->Button()->text(), QStringLiteral("导出"));
        QCOMPARE(f_->Find<StatusBar>("StatusBar1")->Panel1()->text(),
                 QStringLiteral("已停在第 2 页 · 20 个名字"));
        QVERIFY(!f_->Engine().IsRunning());
        QCOMPARE(f_->Results(), ExpectedPages(f_->forum, Henu, 1, 1));
        QCOMPARE(requests.size(), 2);
    }

    void closeDuringRunStops()
    {
        f_->forum.SetStallPage(1);
        QSignalSpy requests(&f_->forum, &SampleForum::requestReceived);
        QSignalSpy failed(&f_->Engine(), &Exporter::failed);
        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QTRY_COMPARE(requests.size(), 1);

        QVERIFY(f_->window.close());
        QVERIFY(!f_->window.isVisible());
        QVERIFY(!f_->Engine().IsRunning());
        QCOMPARE(failed.size(), 1);
        QVERIFY(f_->window.findChildren<QMessageBox *>().isEmpty());
        QCOMPARE(f_->Results(), QByteArray());
    }

    void continueAfterError_data()
    {
        QTest::addColumn<QString>("fromRank");
        QTest::addColumn<int>("buttons");   // on the error box, 显示详情… included
        QTest::addColumn<QString>("press"); // a button's text; empty: Enter
        QTest::addColumn<QString>("fromRankAfter");
        QTest::addColumn<QStringList>("boxesAfter");
        QTest::addColumn<QByteArray>("results");
        QTest::addColumn<QString>("status"); // panel 1 at the end
        // Numbering carries on from the names the failed run wrote.
        QTest::newRow("continue button")
            << "1" << 3 << "从第 21 名继续"
            << "21" << QStringList{Exporter::CompletionMessage()}
            << GoodLines(1) + GoodLines(3) + GoodLines(5) << "第 3 页完成 · 4 个名字";
        QTest::newRow("Enter keeps OK")
            << "1" << 3 << ""
            << "1" << QStringList() << GoodLines() << "出错停在第 2 页 · 2 个名字";
        // Nothing began, so there is nothing to continue.
        QTest::newRow("unreadable rank, OK alone")
            << "abc" << 2 << ""
            << "abc" << QStringList() << QByteArray() << MainWindow::CreditLine();
    }

    void continueAfterError()
    {
        QFETCH(QString, fromRank);
        QFETCH(int, buttons);
        QFETCH(QString, press);
        QFETCH(QString, fromRankAfter);
        QFETCH(QStringList, boxesAfter);
        QFETCH(QByteArray, results);
        QFETCH(QString, status);
        ScriptedServer server;
        QVERIFY(server.Listen());
        server.Script({{}, ScriptedServer::ResetMidBody(), {}}); // page 2 fails once
        f_->Engine().SetHost(LocalHost(server.Port()));
        f_->Box("Text2")->setText(fromRank);
        f_->RunTo("60");
        QSignalSpy failed(&f_->Engine(), &Exporter::failed);
        QTest::mouseClick(f_->Button(), Qt::LeftButton);

        QMessageBox *box = WaitForBox();
        QVERIFY(box);
        QCOMPARE(failed.size(), 1);
        const ExportFailure failure = failed.at(0).at(0).value<ExportFailure>();
        const UserMessage message = DescribeFailure(failure);
        QVERIFY(box->text().startsWith(message.text.section(u'\n', 0, 0)));
        // The address and libcurl's words wait behind 显示详情….
        QCOMPARE(box->detailedText(), message.detail);
        QCOMPARE(box->detailedText().contains(LocalHost(server.Port())), failure.RunStarted());
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->buttons().size(), buttons);
        const QList<QAbstractButton *> all = box->buttons();
        const auto pressed = std::find_if(
            all.begin(), all.end(), [&press](auto *button) { return button->text() == press; });
        QVERIFY(press.isEmpty() || pressed != all.end());
        press.isEmpty() ? QTest::keyClick(box, Qt::Key_Return)
                        : QTest::mouseClick(*pressed, Qt::LeftButton);

        for (const QString &text : boxesAfter)
            QCOMPARE(DismissBox(&f_->window), text);
        QVERIFY(BoxClosed(&f_->window));
        QCOMPARE(f_->Box("Text2")->text(), fromRankAfter);
        QCOMPARE(f_->Button()->text(), QStringLiteral("导出"));
        QCOMPARE(f_->Results(), results);
        QCOMPARE(f_->Find<StatusBar>("StatusBar1")->Panel1()->text(), status);
    }

    // Nothing began, so the box has OK alone; once it goes, the box that
    // cannot be used has the focus, its text selected to be typed over.
    void badBoxSelectedAfterMessage()
    {
        QLineEdit *text3 = f_->Box("Text3");
        text3->setText(QStringLiteral("2O00"));
        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QMessageBox *box = WaitForBox();
        QVERIFY(box);
        // OK and 显示详情… only: nothing began, so nothing to continue.
        QCOMPARE(box->buttons().size(), 2);
        QCOMPARE(box->detailedText(), QStringLiteral("类型不匹配（“2O00” 不是数字）"));
        QTRY_VERIFY(box->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(BoxClosed(&f_->window));
        QCOMPARE(QApplication::focusWidget(), text3);
        QCOMPARE(text3->selectedText(), QStringLiteral("2O00"));
        QCOMPARE(f_->forum.RequestCount(), 0);
    }

    // The first two exports of a window that nothing gave a forum's address.
    // The results' folder opens from the completion box and from the menu;
    // where nothing on the desktop opens folders, a box says where the file is.
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
        FolderOpener opener;
        if (opens)
            QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "Open");
        const auto unset =
            qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); });
        if (fromMenu) {
            f_->Find<QMenu>("ContextMenu")->actions().at(5)->trigger();
        } else {
            f_->RunTo("20");
            QTest::mouseClick(f_->Button(), Qt::LeftButton);
            QMessageBox *done = WaitForBox();
            QVERIFY(done);
            const QList<QAbstractButton *> buttons = done->buttons();
            const auto open = std::find_if(buttons.begin(), buttons.end(), [](auto *button) {
                return button->text() == QStringLiteral("打开所在文件夹");
            });
            QVERIFY(open != buttons.end());
            QTest::mouseClick(*open, Qt::LeftButton);
        }
        const QString folder = f_->Engine().Directory().absolutePath();
        if (opens) {
            QTRY_COMPARE(opener.opened, QList<QUrl>{QUrl::fromLocalFile(folder)});
            QVERIFY(BoxClosed(&f_->window));
            return;
        }
        const QString text = DismissBox(&f_->window);
        QVERIFY2(text.startsWith(
                     QStringLiteral("无法打开文件夹 %1。").arg(QDir::toNativeSeparators(folder))),
                 qPrintable(text));
        QVERIFY(opener.opened.isEmpty());
    }

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
        f_->RunTo("20");

        QByteArray expected;
        for (int press = 0; press < 2; ++press) {
            QTest::mouseClick(f_->Button(), Qt::LeftButton);
            if (press == 0 || !answer) {
                const SettingDialog *dialog = WaitForBox<SettingDialog>();
                QVERIFY(dialog);
                const auto *problem = dialog->findChild<QLabel *>(QStringLiteral("problem"));
                QCOMPARE(dialog->findChild<QLineEdit *>()->text(), QString());
                QVERIFY(!Answer(dialog, QStringLiteral("a b")));
                QCOMPARE(problem->text(),
                         DescribeHostError(*CheckHost(QStringLiteral("a b")).error));
                QVERIFY(Answer(dialog, LocalHost(f_->forum.ServerPort())));
                QCOMPARE(problem->text(), QString());
                dialog->findChild<QCheckBox *>()->setChecked(remember);
                QTest::mouseClick(
                    ButtonOf(dialog, answer ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                    Qt::LeftButton);
                if (!answer) {
                    QVERIFY(BoxClosed(&f_->window));
                    continue;
                }
                if (unwritable)
                    QCOMPARE(DismissBox(&f_->window),
                             DescribeStartupErrorInWindow({StartupError::Kind::NotSaved,
                                                           {},
                                                           {},
                                                           store.File(),
                                                           SettingsWriteError::Reason::NoAccess},
                                                          f_->Engine().Host())
                                 .text);
            }
            QCOMPARE(DismissBox(&f_->window), Exporter::CompletionMessage());
            expected += ExpectedPages(f_->forum, Henu, 1, 1, expected.count("\r\n") + 1);
        }
        QCOMPARE(f_->Results(), expected);
        const bool stored = answer && remember && !unwritable;
        QCOMPARE(store.Read().host.value_or(QString()),
                 stored ? LocalHost(f_->forum.ServerPort()) : QString());
        QCOMPARE(QFile::exists(store.File()), stored);
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
            QSignalSpy requests(&f_->forum, &SampleForum::requestReceived);
            QTest::mouseClick(f_->Button(), Qt::LeftButton);
            QTRY_COMPARE(requests.size(), 1);
        }
        QWidget *target = control == "Form1" ? &f_->window : f_->Find<QWidget>(qPrintable(control));
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
        QStringList items;
        for (const QAction *action : menu->actions())
            items << action->text() + QLatin1String(action->isEnabled() ? "" : " (off)");
        const QLatin1String off(running ? " (off)" : "");
        QCOMPARE(items,
                 QStringList({HostMenuItem() + off, CaFileMenuItem() + off, RetriesMenuItem() + off,
                              TimeoutMenuItem() + off, "", "打开结果所在文件夹", "关于 Kestrune"}));
    }

    // A setting row of the menu: shows the value in use, which the engine
    // takes at once and, with 记住, the settings file keeps.
    void settingFromMenu_data()
    {
        QTest::addColumn<int>("row"); // in the menu
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("answer"); // a CA file in the folder; empty: 清除
        QTest::addColumn<bool>("remember");
        QTest::newRow("CA file") << 1 << ""
                                 << "ca.pem" << true;
        QTest::newRow("CA file cleared") << 1 << "ca.pem"
                                         << "" << true;
        QTest::newRow("retries") << 2 << "2"
                                 << "10" << true;
        QTest::newRow("timeout, not kept") << 3 << "20"
                                           << "60" << false;
    }
    void settingFromMenu()
    {
        QFETCH(int, row);
        QFETCH(QString, before);
        QFETCH(QString, answer);
        QFETCH(bool, remember);
        // The start-up check looks for a PEM block, not at what it holds.
        QFile pem(f_->dir.filePath(QStringLiteral("ca.pem")));
        QVERIFY(pem.open(QIODevice::WriteOnly));
        pem.write("-----BEGIN CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----\n");
        pem.close();
        Exporter &engine = f_->Engine();
        const bool isFile = row == 1;
        const auto value = [this, isFile](const QString &text) {
            return isFile && !text.isEmpty() ? f_->dir.filePath(text) : text;
        };
        const auto inUse = [&engine, row] {
            return row == 1
                       ? engine.CaFile()
                       : QString::number(row == 2 ? engine.Retries() : engine.TimeoutSeconds());
        };
        const auto stored = [this, row] {
            const ForumSettings settings = f_->store.Read();
            return row == 1 ? settings.caFile : row == 2 ? settings.retries : settings.timeout;
        };
        if (isFile)
            engine.SetCaFile(value(before));
        else
            row == 2 ? engine.SetRetries(before.toInt()) : engine.SetTimeoutSeconds(before.toInt());

        f_->Find<QMenu>("ContextMenu")->actions().at(row)->trigger();
        SettingDialog *dialog = WaitForBox<SettingDialog>();
        QVERIFY(dialog);
        auto *count = dialog->findChild<QSpinBox *>();
        QCOMPARE(isFile ? dialog->findChild<QLineEdit *>()->text() : count->cleanText(),
                 value(before));
        if (isFile) {
            QVERIFY(!Answer(dialog, f_->dir.filePath(QStringLiteral("gone.pem"))));
            if (answer.isEmpty())
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("clear")),
                                  Qt::LeftButton);
            QVERIFY(answer.isEmpty() || Answer(dialog, value(answer)));
        } else {
            QTRY_VERIFY(count->hasFocus());
            count->selectAll();
            QTest::keyClicks(count, answer);
        }
        dialog->findChild<QCheckBox *>()->setChecked(remember);
        QTest::mouseClick(ButtonOf(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        QVERIFY(BoxClosed(&f_->window));
        QCOMPARE(inUse(), value(answer));
        QCOMPARE(stored().value_or(QString()), remember ? value(answer) : QString());
    }

private:
    // A window on `clock` against a fresh sample forum, in a fresh folder.
    bool Open(const Clock &clock)
    {
        f_.reset();
        f_ = std::make_unique<Fixture>(clock);
        if (!f_->forum.Listen(0) || !f_->dir.isValid())
            return false;
        f_->Engine().SetHost(LocalHost(f_->forum.ServerPort()));
        f_->Engine().SetDirectory(QDir(f_->dir.path()));
        f_->window.UseSettings(f_->store, false);
        f_->window.show();
        return QTest::qWaitForWindowActive(&f_->window);
    }

    // Five times faster: a fetch still has 600 ms, under Wine too, before it
    // times out.
    const FastClock fast_{5, 0};
    std::unique_ptr<Fixture> f_;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
