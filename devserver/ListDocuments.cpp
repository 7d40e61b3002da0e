#include "ListDocuments.h"

#include "ServerContract.h"
#include "XmlListWriter.h"

namespace Xml = ServerContract::Xml;

namespace {

QString id(qint64 value)
{
    return QString::number(value);
}

// A link to nothing (id 0) shows no name even if some row were stored under id 0.
QString linkedName(qint64 value, const QString& name)
{
    return value == 0 ? QString() : name;
}

} // namespace

QByteArray ListDocuments::notes(const QList<NoteRecord>& notes)
{
    XmlListWriter writer(QStringLiteral("notes"));
    const QString none = QStringLiteral("0");
    for (const NoteRecord& note : notes) {
        writer.beginItem();
        writer.addText(Xml::NoteId, id(note.id));
        writer.addText(Xml::Note, note.text);
        writer.addText(Xml::DateTimeCreate, note.created);
        writer.addLinked(Xml::ProjectId, id(note.projectId),
                         linkedName(note.projectId, note.projectName));
        writer.addLinked(Xml::RealEstateId, none, QString());
        writer.addLinked(Xml::TaskId, none, QString());
        writer.addLinked(Xml::GroupId, none, QString());
        writer.addLinked(Xml::ClientId, id(note.clientId),
                         linkedName(note.clientId, note.clientName));
        writer.addLinked(Xml::OrderId, none, QString());
        writer.endItem();
    }
    return writer.finish();
}

QByteArray ListDocuments::clients(const QList<ClientRecord>& clients)
{
    XmlListWriter writer(QStringLiteral("clients"));
    for (const ClientRecord& client : clients) {
        writer.beginItem();
        writer.addText(Xml::ClientId, id(client.id));
        writer.addText(Xml::Name, client.name);
        writer.endItem();
    }
    return writer.finish();
}

QByteArray ListDocuments::projects(const QList<ProjectRecord>& projects)
{
    XmlListWriter writer(QStringLiteral("projects"));
    for (const ProjectRecord& project : projects) {
        writer.beginItem();
        writer.addText(Xml::ProjectId, id(project.id));
        writer.addText(Xml::Name, project.name);
        writer.addLinked(Xml::CategoryId, id(project.categoryId),
                         linkedName(project.categoryId, project.categoryName));
        writer.endItem();
    }
    return writer.finish();
}
