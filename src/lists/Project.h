#pragma once

#include <QString>

// One project as the server lists it, with the category it is filed under.
struct Project
{
    QString id;
    QString name;
    QString category;
    QString categoryId;
};
