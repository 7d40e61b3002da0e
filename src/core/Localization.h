#pragma once

#include <QLocale>
#include <QString>

// Localized texts, looked up by key in the embedded string table. A key without a text comes
// back as the key itself.
class Localization
{
public:
    // Installs the string table for the locale's language (Slovak or English; any other language
    // gets the English texts). Replaces a table installed earlier.
    static bool install(const QLocale& locale = QLocale());

    static QString text(const char* key);

    static constexpr char NetworkConnectionRequired[] = "title_network_connection_required";
    static constexpr char EnterServerName[] = "title_enter_server_name";
    static constexpr char EnterLoginPassword[] = "title_enter_login_password";
    static constexpr char ClientPlaceholder[] = "title_client";
    static constexpr char ProjectPlaceholder[] = "title_project";
};
