#pragma once

#include <QStandardPaths>
#include <QString>

// Where the files of one account (host, path and login) live: a folder "notes-client" under a
// standard location, readable by its owner alone, and a name that holds a hash of the account,
// so neither tells anything about it nor can two accounts share a file.
class AccountFiles
{
public:
    // <location>/notes-client/<prefix><hash><suffix>; the folder is made owner-only.
    static QString filePath(QStandardPaths::StandardLocation location, const QString& host,
                            const QString& path, const QString& login, const QString& prefix,
                            const QString& suffix);
    // Moves a file that cannot be used out of the way, under a name no earlier one has, prints
    // one line that says why and where it went, and returns that place.
    static QString setAside(const QString& filePath, const QString& what, const QString& why);

    static constexpr char FolderName[] = "notes-client";
};
