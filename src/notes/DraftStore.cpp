#include "DraftStore.h"

#include "Console.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
} // namespace

DraftStore::DraftStore(QObject* parent) : QObject(parent) {}

void DraftStore::openAccount(const QString& host, const QString& path, const QString& login)
{
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u'/' +
        QLatin1String(FolderName);
    // The account is hashed into the name, so the file name tells nothing about it.
    const QByteArray account = (host + u'\n' + path + u'\n' + login).toUtf8();
    const QString name = QStringLiteral("drafts-%1.json")
                             .arg(QString::fromLatin1(
                                 QCryptographicHash::hash(account, QCryptographicHash::Sha256)
                                     .toHex()
                                     .left(24)));
    const QString filePath = folder + u'/' + name;
    if (filePath == m_filePath)
        return;
    m_filePath = filePath;
    m_host = host;
    m_path = path;
    m_login = login;
    m_drafts.clear();
    read();
    emit changed();
}

const DraftStore::Draft* DraftStore::draft(const QString& noteId) const
{
    for (const Draft& d : m_drafts)
        if (d.noteId == noteId)
            return &d;
    return nullptr;
}

void DraftStore::put(const QString& noteId, const QString& text, const QString& serverText)
{
    if (!isOpen())
        return;
    const Draft* existing = draft(noteId);
    if (existing && existing->text == text)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    if (existing) {
        Draft& d = m_drafts[existing - m_drafts.constData()];
        d.text = text;
        d.changed = now;
    } else {
        m_drafts.append({noteId, text, serverText, now});
    }
    write();
    emit changed();
}

void DraftStore::remove(const QString& noteId)
{
    if (m_drafts.removeIf([&](const Draft& d) { return d.noteId == noteId; }) == 0)
        return;
    write();
    emit changed();
}

void DraftStore::read()
{
    QFile file(m_filePath);
    if (!file.exists())
        return;
    QJsonParseError error;
    const QJsonDocument document = file.open(QIODevice::ReadOnly)
                                       ? QJsonDocument::fromJson(file.readAll(), &error)
                                       : QJsonDocument();
    file.close();
    const QJsonObject root = document.object();
    // A file of another account under this name would show its drafts here: refuse it too.
    if (!document.isObject() || root.value(u"host").toString() != m_host ||
        root.value(u"path").toString() != m_path || root.value(u"login").toString() != m_login) {
        const QString aside = m_filePath + QStringLiteral(".unreadable");
        QFile::remove(aside);
        QFile::rename(m_filePath, aside);
        Console::print(QStringLiteral("the drafts file could not be read; it was set aside as %1")
                           .arg(aside));
        return;
    }
    for (const QJsonValue& value : root.value(u"drafts").toArray()) {
        const QJsonObject o = value.toObject();
        const QString id = o.value(u"id").toString();
        if (id.isEmpty() || draft(id))
            continue;
        m_drafts.append({id, o.value(u"text").toString(), o.value(u"serverText").toString(),
                         QDateTime::fromString(o.value(u"changed").toString(), Qt::ISODate)});
    }
}

void DraftStore::write()
{
    QJsonArray drafts;
    for (const Draft& d : m_drafts)
        drafts.append(QJsonObject{{"id", d.noteId},
                                  {"text", d.text},
                                  {"serverText", d.serverText},
                                  {"changed", d.changed.toString(Qt::ISODate)}});
    const QJsonObject root{
        {"host", m_host}, {"path", m_path}, {"login", m_login}, {"drafts", drafts}};
    QDir().mkpath(QFileInfo(m_filePath).path());
    QFile::setPermissions(QFileInfo(m_filePath).path(), OwnerOnly | QFileDevice::ExeOwner);
    QSaveFile file(m_filePath);
    if (file.open(QIODevice::WriteOnly) && file.setPermissions(OwnerOnly) &&
        file.write(QJsonDocument(root).toJson(QJsonDocument::Compact)) >= 0 && file.commit())
        return;
    Console::print(QStringLiteral("the drafts could not be written to %1: %2")
                       .arg(m_filePath, file.errorString()));
}
