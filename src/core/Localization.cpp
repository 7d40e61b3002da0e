#include "Localization.h"

#include <QCoreApplication>
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

QTranslator*& installedTranslator()
{
    static QTranslator* translator = nullptr;
    return translator;
}
} // namespace

bool Localization::install(const QLocale& locale)
{
    QTranslator*& current = installedTranslator();
    if (current) {
        QCoreApplication::removeTranslator(current);
        delete current;
        current = nullptr;
    }
    const QString language =
        locale.language() == QLocale::Slovak ? QStringLiteral("sk") : QStringLiteral("en");
    auto* translator = new QTranslator;
    if (!translator->load(QStringLiteral(":/i18n/notes_%1.qm").arg(language))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    current = translator;
    return true;
}

QString Localization::text(const char* key)
{
    return QCoreApplication::translate(Context, key);
}
