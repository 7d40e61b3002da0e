#pragma once

#include "PickList.h"

#include <QCoreApplication>

class QComboBox;

// A pick list shown as a combo box. Titles are compared exactly, except that canonically
// equivalent Unicode spellings (a precomposed letter and its decomposed form) count as one title.
class ComboPickList : public PickList
{
    Q_DECLARE_TR_FUNCTIONS(ComboPickList)

public:
    // The combo box is not owned and must outlive the pick list.
    explicit ComboPickList(QComboBox* comboBox);

    void removeAllItems() override;
    void addItemWithTitle(const QString& title) override;
    void replaceAllItems(const QStringList& titles) override;

    // Each title once, at the position of its last occurrence (canonically equivalent
    // spellings count as one title; the last spelling is kept).
    static QStringList distinctTitles(const QStringList& titles);
    // A title the list lacks is shown as an extra item marked inactive, which no record matches.
    void selectItemWithTitle(const QString& title) override;
    void selectItemAtIndex(int index) override;
    std::optional<QString> titleOfSelectedItem() const override;
    int numberOfItems() const override;
    QString itemTitleAtIndex(int index) const override;

private:
    int indexOfTitle(const QString& title) const;
    void removeMissingItem();

    static constexpr char MissingItemMark[] = "missing";

    QComboBox* m_comboBox;
};
