#include "registro/application.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace mirabolo::registro {

void setUpApplication(QCoreApplication &app)
{
    QCoreApplication::setApplicationName(u"mirabolo-registro"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(MIRABOLO_VERSION));
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QLocale::setDefault(italian);

    auto *translator = new QTranslator(&app);
    if (translator->load(italian, u"qtbase"_s, u"_"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace mirabolo::registro
