#pragma once

#include <QString>

// One note as the server delivers it. Identifiers stay text, exactly as the server sent them.
// A plain value: what the list holds is what the server sent, and an edit lives elsewhere until
// the server has confirmed it.
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
    // The creation time exactly as the server sent it, for sorting and for the locale's format.
    QString createdText;

    bool operator==(const Note&) const = default;
};
