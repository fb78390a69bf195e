// Opens the window; an export runs only when its button is pressed.
#include "platform/consoleoutput.h"
#include "platform/qttranslation.h"
#include "platform/stopsignals.h"
#include "startup/helptext.h"
#include "startup/settingsstore.h"
#include "startup/startup.h"
#include "startup/startupmessages.h"
#include "startup/terminal.h"
#include "ui/dialogs/messagebox.h"
#include "ui/dialogs/settingwords.h"
#include "ui/window/mainwindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <algorithm>
#include <span>
#include <string_view>

namespace {

#ifdef Q_OS_UNIX
// --help and --version print and exit before any window opens, so they answer
// on a machine without a display too; the manual page is made from them.
bool OnlyPrints(std::span<char *const> arguments)
{
    constexpr std::string_view printing[] = {"-h", "-?", "--help", "--help-all", "-v", "--version"};
    return std::ranges::any_of(arguments.subspan(1), [&printing](const char *argument) {
        return std::ranges::find(printing, std::string_view(argument)) != std::end(printing);
    });
}

// Without one Qt aborts in English, telling the user to reinstall.
bool HasDisplay(std::span<char *const> arguments)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    return std::ranges::any_of(arguments.subspan(1), [](const char *argument) {
        return std::string_view(argument) == "-platform" ||
               std::string_view(argument) == "--platform";
    });
}
#endif

} // namespace

int main(int argc, char *argv[])
{
#ifdef Q_OS_UNIX
    const std::span<char *const> arguments{argv, static_cast<std::size_t>(argc)};
    if (OnlyPrints(arguments)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (!HasDisplay(arguments)) {
        kestrune::PrintMessage(stderr, kestrune::DescribeNoDisplay());
        return 1;
    }
#endif
    QApplication app(argc, argv);
    kestrune::IdentifyApplication(QStringLiteral("kestrune"));
    kestrune::InstallQtTranslation();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kestrune.Kestrune"));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const kestrune::ConnectionOptions connection;
    connection.AddTo(parser, QStringLiteral("打开导出论坛会员排名的窗口，结果写入 jieguo.txt，"
                                            "每次导出另存一份表格（.csv）。"));
    // Qt misaligns Chinese; its --help-all, which adds Qt's own options, and
    // its message box where there is no console to print to stay.
    if (parser.parse(QApplication::arguments()) && parser.isSet(QStringLiteral("help")) &&
        !parser.isSet(QStringLiteral("version")) && kestrune::HasOutput(stdout)) {
        kestrune::PrintLine(stdout, kestrune::HelpText(parser, connection.List(),
                                                       kestrune::TerminalColumns(stdout),
                                                       kestrune::HelpAll::Offered));
        return 0;
    }
    parser.process(app);
    const kestrune::SettingsStore settings;
    const kestrune::StartupResult startup = connection.Resolve(parser, settings);

    kestrune::MainWindow window;
    kestrune::ApplyConnection(startup.connection, window.Engine());
    window.UseSettings(settings, kestrune::MustAskForHost(startup), startup.results);
    window.show();
    // A signal stops a run as 停止 does, without the question closing asks.
    kestrune::StopSignals stopSignals;
    QObject::connect(&stopSignals, &kestrune::StopSignals::stopRequested, &window,
                     [&window, &stopSignals] {
                         window.QuitNow();
                         stopSignals.StopHandled();
                     });
    window.OfferUnfinishedRun([&window, &startup] {
        // Settings that cannot be used leave the window on the defaults.
        if (!startup.errors.isEmpty())
            kestrune::MessageBox::Show(
                &window, kestrune::MessageBox::Kind::Error,
                kestrune::DescribeStartupErrorsInWindow(startup.errors, startup.connection.host));
        else if (startup.saved)
            kestrune::MessageBox::Show(&window, kestrune::MessageBox::Kind::Notice,
                                       kestrune::DescribeSaved(*startup.saved));
    });
    return QApplication::exec();
}
