#pragma once

#include "StoreRecords.h"

#include <QByteArray>
#include <QList>

// The XML documents of the three list actions (xml_notes, xml_clients, xml_projects).
class ListDocuments
{
public:
    static QByteArray notes(const QList<NoteRecord>& notes);
    static QByteArray clients(const QList<ClientRecord>& clients);
    static QByteArray projects(const QList<ProjectRecord>& projects);
};
