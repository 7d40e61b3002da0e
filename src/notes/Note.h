#pragma once

#include <QString>

#include <memory>

// One note as the server delivers it. Identifiers stay text, exactly as the server sent them.
// Records are shared by reference: the notes list and the current note may hold the same one.
struct Note
{
    QString id;
    QString note;
    QString dateTimeCreate; // "dd.MM.yyyy HH:mm" in local time, or empty
    QString realEstate;
    QString realEstateId;
    QString project;
    QString projectId;
    QString task;
    QString taskId;
    QString group;
    QString groupId;
    QString client;
    QString clientId;
    QString order;
    QString orderId;

    bool operator==(const Note&) const = default;
};

using NoteRef = std::shared_ptr<Note>;
