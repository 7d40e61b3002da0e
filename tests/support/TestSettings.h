#pragma once

#include <QString>
#include <QTemporaryDir>

// Points the shared settings store at a fresh file in a temporary folder, registers the
// program's defaults and installs the English texts, so a test never touches a user's settings.
class TestSettings
{
public:
    TestSettings();
    ~TestSettings();

    // Stores the four connection settings as a user would save them, and flushes.
    void save(const QString& host, const QString& login, const QString& password,
              const QString& path = QString());

    QString filePath() const;
    QString folder() const { return m_folder.path(); }

private:
    QTemporaryDir m_folder;
};
