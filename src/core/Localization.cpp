#include "Localization.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QList>
#include <QPointer>
#include <QTranslator>

namespace {
constexpr char Context[] = "Localizable";

// Lists the keys for the translation tools; lookups pass the key itself.
[[maybe_unused]] constexpr const char* Keys[] = {
    QT_TRANSLATE_NOOP("Localizable", "title_network_connection_required"),
    QT_TRANSLATE_NOOP("Localizable", "title_enter_server_name"),
    QT_TRANSLATE_NOOP("Localizable", "title_enter_login_password"),
    QT_TRANSLATE_NOOP("Localizable", "title_client"),
    QT_TRANSLATE_NOOP("Localizable", "title_project"),
};

// The program's own table and Qt's (dialog buttons, context menus), in that order. They belong
// to the application object, which deletes them when it goes.
QList<QPointer<QTranslator>>& installedTranslators()
{
    static QList<QPointer<QTranslator>> translators;
    return translators;
}
} // namespace

bool Localization::install(const QLocale& locale)
{
    for (const QPointer<QTranslator>& translator : std::as_const(installedTranslators())) {
        if (!translator)
            continue;
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    installedTranslators().clear();
    const bool slovak = locale.language() == QLocale::Slovak;
    const QString language = slovak ? QStringLiteral("sk") : QStringLiteral("en");
    auto* own = new QTranslator(QCoreApplication::instance());
    if (!own->load(QStringLiteral(":/i18n/notes_%1.qm").arg(language))) {
        delete own;
        return false;
    }
    QCoreApplication::installTranslator(own);
    installedTranslators().append(own);
    // Qt's texts are English already; a missing Slovak table leaves them English.
    if (slovak) {
        auto* qt = new QTranslator(QCoreApplication::instance());
        if (qt->load(QStringLiteral("qtbase_sk"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qt);
            installedTranslators().append(qt);
        } else {
            delete qt;
        }
    }
    return true;
}

QString Localization::text(const char* key)
{
    return QCoreApplication::translate(Context, key);
}
