// Opens the window; an export runs only when its button is pressed.
#include "mainwindow.h"
#include "qttranslation.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    kestrune::InstallQtTranslation();
    QApplication::setApplicationName(QStringLiteral("kestrune"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kestrune.Kestrune"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("把论坛的会员排名导出到当前目录的 jieguo.txt。"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("论坛服务的地址和端口。"),
                                  QStringLiteral("HOST:PORT"));
    parser.addOption(host);
    parser.process(app);

    kestrune::MainWindow window;
    if (parser.isSet(host))
        window.exporter().SetHost(parser.value(host));
    window.show();
    return QApplication::exec();
}
