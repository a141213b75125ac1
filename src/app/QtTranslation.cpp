#include "app/QtTranslation.h"

#include "i18n/StringTable.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace app {

bool QtTranslation::apply(int lang) {
    if (m_installed) {
        QCoreApplication::removeTranslator(&m_translator);
        m_installed = false;
    }
    if (lang != i18n::LangHebrew)
        return true;
    if (!m_translator.load(QLocale(QLocale::Hebrew, QLocale::Israel), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    // The Hebrew catalogue also says "right to left" for the whole application. The main
    // window sets its own direction and every other window keeps its design, so the
    // application's direction stays as it was.
    const Qt::LayoutDirection direction = QGuiApplication::layoutDirection();
    m_installed = QCoreApplication::installTranslator(&m_translator);
    QGuiApplication::setLayoutDirection(direction);
    return m_installed;
}

} // namespace app
