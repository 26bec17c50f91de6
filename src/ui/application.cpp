#include "ui/application.h"

#include <QCoreApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace mirabolo::ui {

void setUpApplication(QCoreApplication &app)
{
    QCoreApplication::setApplicationName(u"mirabolo"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(MIRABOLO_VERSION));

    // Metric-compatible families keep the stored layout; MS Sans Serif has no
    // twin, and Liberation Sans comes closest to its caption widths.
    QFont::insertSubstitution(u"MS Sans Serif"_s, u"Liberation Sans"_s);
    QFont::insertSubstitution(u"Arial"_s, u"Liberation Sans"_s);
    QFont::insertSubstitution(u"Arial Black"_s, u"Liberation Sans"_s);
    QFont::insertSubstitution(u"Times New Roman"_s, u"Liberation Serif"_s);

    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Italian, QLocale::Italy), u"qtbase"_s, u"_"_s,
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace mirabolo::ui
