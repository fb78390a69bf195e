#include "platform/qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kestrune {

void InstallQtTranslation()
{
    // Parented to the application, so it lives as long as the texts it serves.
    auto *translator = new QTranslator(QCoreApplication::instance());
    const QString name = QStringLiteral("qtbase_zh_CN");
    if (translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        translator->load(name, QStringLiteral(":/kestrune/translations")))
        QCoreApplication::installTranslator(translator);
}

} // namespace kestrune
