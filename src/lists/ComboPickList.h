#pragma once

#include "PickList.h"

class QComboBox;

// A pick list shown as a combo box. Titles are compared exactly, except that canonically
// equivalent Unicode spellings (a precomposed letter and its decomposed form) count as one title.
class ComboPickList : public PickList
{
public:
    // The combo box is not owned and must outlive the pick list.
    explicit ComboPickList(QComboBox* comboBox);

    void removeAllItems() override;
    void addItemWithTitle(const QString& title) override;
    void replaceAllItems(const QStringList& titles) override;

    // Each title once, at the position of its last occurrence (canonically equivalent
    // spellings count as one title; the last spelling is kept).
    static QStringList distinctTitles(const QStringList& titles);
    void selectItemWithTitle(const QString& title) override;
    void selectItemAtIndex(int index) override;
    std::optional<QString> titleOfSelectedItem() const override;
    int numberOfItems() const override;
    QString itemTitleAtIndex(int index) const override;

private:
    int indexOfTitle(const QString& title) const;

    QComboBox* m_comboBox;
};
