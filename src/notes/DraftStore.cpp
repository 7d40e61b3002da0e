#include "DraftStore.h"

#include "AccountFiles.h"
#include "Console.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {
constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
} // namespace

DraftStore::DraftStore(QObject* parent) : QObject(parent) {}

void DraftStore::openAccount(const QString& host, const QString& path, const QString& login)
{
    const QString filePath =
        AccountFiles::filePath(QStandardPaths::GenericDataLocation, host, path, login,
                               QStringLiteral("drafts-"), QStringLiteral(".json"));
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

void DraftStore::rebase(const QString& noteId, const QString& serverText)
{
    const Draft* existing = draft(noteId);
    if (!existing || existing->serverText == serverText)
        return;
    m_drafts[existing - m_drafts.constData()].serverText = serverText;
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
        emit setAside(AccountFiles::setAside(m_filePath, QStringLiteral("drafts file"),
                                             QStringLiteral("not a drafts file of this account")));
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
    QSaveFile file(m_filePath);
    if (file.open(QIODevice::WriteOnly) && file.setPermissions(OwnerOnly) &&
        file.write(QJsonDocument(root).toJson(QJsonDocument::Compact)) >= 0 && file.commit())
        return;
    Console::diagnose(QStringLiteral("the drafts could not be written to %1: %2")
                          .arg(m_filePath, file.errorString()));
    emit writeFailed(file.errorString());
}
