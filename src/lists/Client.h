#pragma once

#include <QString>

// One client of the company as the server lists it. The main window turns a picked title back
// into this id.
struct Client
{
    QString id;
    QString name;
};
