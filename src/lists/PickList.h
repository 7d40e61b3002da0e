#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// A list of titles the user picks one from, such as the clients or projects of a note.
class PickList
{
public:
    virtual ~PickList() = default;
    virtual void removeAllItems() = 0;
    // Removes an existing item with the same title first, then appends.
    virtual void addItemWithTitle(const QString& title) = 0;
    // The same as removeAllItems() and addItemWithTitle() for each title in turn, in time
    // linear in the number of titles.
    virtual void replaceAllItems(const QStringList& titles) = 0;
    // Selects the item bearing exactly that title; when none has it, nothing is selected.
    virtual void selectItemWithTitle(const QString& title) = 0;
    virtual void selectItemAtIndex(int index) = 0;
    // None when nothing is selected.
    virtual std::optional<QString> titleOfSelectedItem() const = 0;
    virtual int numberOfItems() const = 0;
    virtual QString itemTitleAtIndex(int index) const = 0;
};
