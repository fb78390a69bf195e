// The window's context menu and the settings it reaches.
#include "startup/startupmessages.h"
#include "tests/ui/window/windowfixture.h"
#include "ui/compare/comparewindow.h"
#include "ui/compare/comparisonmodel.h"
#include "ui/dialogs/filedialog.h"
#include "ui/dialogs/settingdialog.h"
#include "ui/window/settingsmenu.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
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

// Types `text` over the setting dialog's box; gives whether OK takes it.
bool Accepts(const SettingDialog *dialog, const QString &text)
{
    auto *box = dialog->findChild<QLineEdit *>();
    box->selectAll();
    QInputMethodEvent typing; // as a Chinese input method hands it over
    typing.setCommitString(text);
    QApplication::sendEvent(box, &typing);
    return dialog->findChild<QLabel *>(QStringLiteral("problem"))->text().isEmpty();
}

struct SettingChange
{
    const char *item = nullptr; // the menu item's object name
    QString before{};
    QString answer{}; // a CA file in the folder; empty: 清除
    bool remember = true;
};

} // namespace

Q_DECLARE_METATYPE(SettingChange)

class TestSettingsMenu final : public WindowTest
{
    Q_OBJECT

public:
    // Stands in for the desktop's file manager, which the offscreen platform
    // lacks.
    Q_INVOKABLE void OpenUrl(const QUrl &url) { opened_ << url; }

private slots:
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
        // A setting cannot change under a run; the folder can still be opened
        // and exports compared.
        for (const char *item : {"HostItem", "CaFileItem", "RetriesItem", "TimeoutItem",
                                 "FolderItem", "TableItem", "OpenFolderItem", "CompareItem"}) {
            QAction *action = f_->Find<QAction>(item);
            QVERIFY2(menu->actions().contains(action), item);
            QCOMPARE(action->isEnabled(), !running || action->objectName() == u"OpenFolderItem" ||
                                              action->objectName() == u"CompareItem");
        }
    }

    // A setting's item shows the value in use, which the engine takes at once
    // and, with 记住, the settings file keeps.
    void settingFromMenu_data()
    {
        QTest::addColumn<SettingChange>("change");
        QTest::newRow("CA file") << SettingChange{.item = "CaFileItem", .answer = "ca.pem"};
        QTest::newRow("CA file cleared") << SettingChange{.item = "CaFileItem", .before = "ca.pem"};
        QTest::newRow("retries") << SettingChange{
            .item = "RetriesItem", .before = "2", .answer = "10"};
        QTest::newRow("timeout, not kept") << SettingChange{
            .item = "TimeoutItem", .before = "20", .answer = "60", .remember = false};
    }
    void settingFromMenu()
    {
        QFETCH(SettingChange, change);
        // The start-up check looks for a PEM block, not at what it holds.
        QVERIFY(WriteFile(f_->dir.filePath(QStringLiteral("ca.pem")),
                          "-----BEGIN CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----\n"));
        Exporter &engine = f_->Engine();
        const bool isFile = qstrcmp(change.item, "CaFileItem") == 0;
        const bool retries = qstrcmp(change.item, "RetriesItem") == 0;
        const auto value = [this, isFile](const QString &text) {
            return isFile && !text.isEmpty() ? f_->dir.filePath(text) : text;
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
        QCOMPARE(isFile ? engine.CaFile()
                        : QString::number(retries ? engine.Retries() : engine.TimeoutSeconds()),
                 value(change.answer));
        const ForumSettings kept = f_->store.Read();
        const auto stored = isFile ? kept.caFile : retries ? kept.retries : kept.timeout;
        QCOMPARE(stored.value_or(QString()), change.remember ? value(change.answer) : QString());
    }

    // Where the results go and whether a table goes with them: from start-up,
    // then from the menu, which stores each choice at once. A file that
    // cannot be written is the host's row below: the same store tells it.
    void resultsFromMenu()
    {
        const QString first = f_->dir.filePath(QStringLiteral("first"));
        const QString chosen = f_->dir.filePath(QStringLiteral("chosen"));
        QVERIFY(QDir().mkpath(first) && QDir().mkpath(chosen));
        auto *menu = f_->Find<SettingsMenu>("ContextMenu");
        QAction *table = f_->Find<QAction>("TableItem");
        QSignalSpy choices(menu, &SettingsMenu::tableChoiceChanged);
        const auto inUse = [this] {
            return f_->Engine().Directory().absolutePath();
        };

        menu->UseSettings(f_->store, false, {first, false});
        QCOMPARE(inUse(), first);
        QVERIFY(!table->isChecked() && !menu->TableOn());
        FileDialog::SetNextChoice({}); // cancelled
        f_->Find<QAction>("FolderItem")->trigger();
        QCOMPARE(inUse(), first);
        FileDialog::SetNextChoice(chosen);
        f_->Find<QAction>("FolderItem")->trigger();
        QCOMPARE(inUse(), chosen);
        QVERIFY(f_->Bar()->toolTip().endsWith(QDir::toNativeSeparators(chosen)));
        table->trigger();
        QVERIFY(menu->TableOn());
        table->trigger();
        QList<bool> told;
        for (const QVariantList &signal : std::as_const(choices))
            told << signal.constFirst().toBool();
        QCOMPARE(told, (QList{false, true, false}));
        QCOMPARE(f_->store.Read().folder, std::optional(chosen));
        QCOMPARE(f_->store.Read().table, std::optional<QString>("0"));
    }

    // The first two exports of a window that nothing gave a forum's address.
    // It says nothing is typed yet only once OK is pressed.
    void askForHostOnFirstExport_data()
    {
        QTest::addColumn<bool>("answer"); // OK, else Cancel
        QTest::addColumn<bool>("remember");
        QTest::addColumn<bool>("unwritable");     // the settings file
        QTest::addColumn<bool>("fullWidthColon"); // as a Chinese input method types it
        QTest::newRow("cancel") << false << true << false << false;
        QTest::newRow("remembered") << true << true << false << false;
        QTest::newRow("this run only") << true << false << false << false;
        QTest::newRow("not saved") << true << true << true << false;
        QTest::newRow("full-width colon") << true << true << false << true;
    }
    void askForHostOnFirstExport()
    {
        QFETCH(bool, answer);
        QFETCH(bool, remember);
        QFETCH(bool, unwritable);
        QFETCH(bool, fullWidthColon);
        QString typed = LocalHost(f_->forum.ServerPort());
        if (fullWidthColon)
            typed.replace(u':', u'：');
        // A file where the folder should be: refused even to root.
        QVERIFY(WriteFile(f_->dir.filePath(QStringLiteral("blocked")), {}));
        const SettingsStore store(f_->dir.filePath(QLatin1String(unwritable ? "blocked/k" : "k")));
        f_->Engine().SetHost(DefaultForumHost()); // as start-up leaves it
        f_->window.UseSettings(store, true, {});
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
                QCOMPARE(problem->text(), QString());
                QTest::mouseClick(ButtonOf(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
                QVERIFY(dialog->isVisible());
                QCOMPARE(problem->text(), DescribeHostError(*CheckHost(QString()).error));
                QVERIFY(!Accepts(dialog, QStringLiteral("a b")));
                QCOMPARE(problem->text(),
                         DescribeHostError(*CheckHost(QStringLiteral("a b")).error));
                QVERIFY(Accepts(dialog, typed));
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

    // What a screen reader says for each control that takes the focus: a
    // name of its own.
    void controlsHaveNames_data()
    {
        QTest::addColumn<QString>("opened"); // the menu item; empty: the window alone
        QTest::newRow("window") << QString();
        QTest::newRow("forum address") << "HostItem";
        QTest::newRow("CA file") << "CaFileItem";
        QTest::newRow("retries") << "RetriesItem";
    }
    void controlsHaveNames()
    {
        QFETCH(QString, opened);
        QWidget *root = &f_->window;
        if (!opened.isEmpty()) {
            f_->Find<QAction>(qPrintable(opened))->trigger();
            root = OpenDialog(f_->window);
        }
        QStringList names;
        for (QWidget *control : root->findChildren<QWidget *>())
            if ((control->focusPolicy() & Qt::TabFocus) && !control->focusProxy() &&
                control->isVisibleTo(root))
                names << QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
        QVERIFY(names.size() >= 4);
        QVERIFY2(!names.contains(QString()) && names.removeDuplicates() == 0,
                 qPrintable(names.join(u',')));
    }

    // The completion box's choice opens the folder as the menu's item does;
    // where nothing on the desktop opens folders, a box names the folder.
    // Two exports of a ranking that moved, compared beside the window, which
    // stays usable.
    void compareTwoExports()
    {
        f_->RunTo(QStringLiteral("60"));
        for (const int day : {1, 2}) {
            f_->forum.SetDay(day);
            MessageBox::SetNextAnswer(Answer::Ok);
            QSignalSpy completed(&f_->Engine(), &Exporter::completed);
            QTest::mouseClick(f_->Button(), Qt::LeftButton);
            QVERIFY(completed.wait());
        }
        f_->Find<QAction>("CompareItem")->trigger();
        auto *compare = f_->window.findChild<CompareWindow *>();
        QVERIFY(compare && compare->isVisible());
        QSignalSpy shown(compare, &CompareWindow::comparisonShown);
        QVERIFY(shown.wait());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        const ComparisonSummary &summary = compare->Model().Compared()->comparison.Summary();
        QCOMPARE(summary.counts[0] + summary.counts[1] + summary.counts[2] + summary.counts[3] +
                     summary.counts[4] + summary.counts[5],
                 compare->Model().rowCount());
        QVERIFY(summary.Count(kestrune::Change::Up) > 0 &&
                summary.Count(kestrune::Change::Down) > 0);
        QCOMPARE(compare->findChild<QLabel *>(QStringLiteral("summary"))->text(),
                 DescribeChanges(summary));
        // Asked again, the same window comes to the front.
        f_->Find<QAction>("CompareItem")->trigger();
        QCOMPARE(f_->window.findChildren<CompareWindow *>().size(), 1);
        QVERIFY(f_->Button()->isEnabled());
    }

    void openResultsFolder()
    {
        const QString folder = f_->Engine().Directory().absolutePath();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "OpenUrl");
        const auto unset =
            qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); });
        f_->RunTo(QStringLiteral("20"));
        MessageBox::SetNextAnswer(Answer::Choice); // 打开所在文件夹
        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QTRY_COMPARE(opened_, QList<QUrl>{QUrl::fromLocalFile(folder)});

        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        MessageBox::SetNextAnswer(Answer::Ok);
        f_->Find<QAction>("OpenFolderItem")->trigger();
        QTRY_COMPARE(MessageBox::Answered().size(), 2);
        const MessageBox::Content said = MessageBox::Answered().constLast();
        QCOMPARE(said.kind, MessageBox::Kind::Error);
        QVERIFY(said.message.text.contains(QDir::toNativeSeparators(folder)));
    }

private:
    QList<QUrl> opened_;
};

QTEST_MAIN(TestSettingsMenu)
#include "tst_settingsmenu.moc"
