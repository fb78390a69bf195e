// Opens the window; an export runs only when its button is pressed.
#include "mainwindow.h"
#include "messagebox.h"
#include "qttranslation.h"
#include "settingsstore.h"
#include "startup.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    kestrune::IdentifyApplication(QStringLiteral("kestrune"));
    kestrune::InstallQtTranslation();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kestrune.Kestrune"));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const kestrune::ConnectionOptions connection;
    connection.AddTo(parser, QStringLiteral("打开导出论坛会员排名的窗口，结果写入当前目录的 "
                                            "jieguo.txt。"));
    parser.process(app);
    const kestrune::StartupResult startup = connection.Resolve(parser, kestrune::SettingsStore());

    kestrune::MainWindow window;
    kestrune::ApplyConnection(startup.connection, window.exporter());
    window.show();
    // A setting that cannot be used leaves the window on the default host.
    if (!startup.error.isEmpty())
        kestrune::MessageBox::Show(&window, kestrune::MessageBox::Kind::Error, startup.error);
    else if (!startup.notice.isEmpty())
        kestrune::MessageBox::Show(&window, kestrune::MessageBox::Kind::Notice, startup.notice);
    return QApplication::exec();
}
