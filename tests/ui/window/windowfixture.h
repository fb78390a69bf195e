#pragma once

#include "engine/write/exportfiles.h"
#include "platform/clock.h"
#include "startup/settingsstore.h"
#include "startup/startup.h"
#include "tests/support/expectedresults.h"
#include "tests/support/fixtures.h"
#include "tools/sampleforum/sampleforum.h"
#include "ui/dialogs/messagebox.h"
#include "ui/window/mainwindow.h"
#include "ui/window/statusbar.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace kestrune {

// A shown window against a fresh sample forum, in a fresh folder. Its message
// boxes are not shown: a test gives each its answer ahead
// (MessageBox::SetNextAnswer) and reads what it said.
struct WindowFixture
{
    explicit WindowFixture(const Clock &clock = SystemClock::Instance())
        : window(clock)
    {}

    SampleForum forum;
    QTemporaryDir dir;
    const SettingsStore store{dir.filePath(QStringLiteral("k.conf"))};
    MainWindow window; // last, so it goes first: a run never outlives the forum

    bool Open()
    {
        if (!forum.Listen(0) || !dir.isValid())
            return false;
        Engine().SetHost(LocalHost(forum.ServerPort()));
        Engine().SetDirectory(QDir(dir.path()));
        window.UseSettings(store, false, {});
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }

    template <typename Widget = QWidget> Widget *Find(const char *name)
    {
        return window.findChild<Widget *>(QLatin1String(name));
    }
    QLineEdit *Box(const char *name) { return Find<QLineEdit>(name); }
    QPushButton *Button() { return Find<QPushButton>("Command1"); }
    const StatusBar *Bar() { return Find<StatusBar>("StatusBar1"); }
    // Pages up to `toRank`, with no pause between them.
    void RunTo(const QString &toRank)
    {
        Box("Text3")->setText(toRank);
        Box("Text4")->setText(QStringLiteral("0"));
    }
    Exporter &Engine() { return window.Engine(); }
    // Chinese comes from an input method as committed text, one character
    // at a time, not as keys.
    static void CommitEach(QLineEdit *box, const QString &text)
    {
        for (const QChar character : text) {
            QInputMethodEvent commit;
            commit.setCommitString(QString(character));
            QCoreApplication::sendEvent(box, &commit);
        }
    }
    QByteArray Results() const { return FileBytes(dir.filePath(QLatin1String(ResultsFileName))); }
};

// Each test function gets a fresh window.
class WindowTest : public QObject
{
    Q_OBJECT

protected:
    bool Open(const Clock &clock = SystemClock::Instance())
    {
        f_.reset();
        f_ = std::make_unique<WindowFixture>(clock);
        return f_->Open();
    }
    std::unique_ptr<WindowFixture> f_;

private slots:
    void init() { QVERIFY(Open()); }
    void cleanup()
    {
        f_.reset();
        MessageBox::ResetAnswers();
    }
};

} // namespace kestrune
