#include "ComboPickList.h"

#include <QComboBox>
#include <QSet>

#include <algorithm>

ComboPickList::ComboPickList(QComboBox* comboBox) : m_comboBox(comboBox) {}

void ComboPickList::removeAllItems()
{
    m_comboBox->clear();
}

void ComboPickList::addItemWithTitle(const QString& title)
{
    const int existing = indexOfTitle(title);
    if (existing >= 0)
        m_comboBox->removeItem(existing);
    m_comboBox->addItem(title);
}

void ComboPickList::replaceAllItems(const QStringList& titles)
{
    m_comboBox->clear();
    m_comboBox->addItems(distinctTitles(titles));
}

QStringList ComboPickList::distinctTitles(const QStringList& titles)
{
    QSet<QString> seen;
    seen.reserve(titles.size());
    QStringList kept;
    for (auto title = titles.crbegin(); title != titles.crend(); ++title) {
        const QString key = title->normalized(QString::NormalizationForm_C);
        if (!seen.contains(key)) {
            seen.insert(key);
            kept.append(*title);
        }
    }
    std::reverse(kept.begin(), kept.end());
    return kept;
}

// A title the list lacks belongs to a record no longer offered (an inactive client or project):
// it is shown, marked, as an extra item that no record matches, so a save keeps the link.
void ComboPickList::selectItemWithTitle(const QString& title)
{
    removeMissingItem();
    int index = indexOfTitle(title);
    if (index < 0) {
        m_comboBox->addItem(tr("%1 (inactive)").arg(title), MissingItemMark);
        index = m_comboBox->count() - 1;
        m_comboBox->setItemData(index, tr("%1 is no longer in the list; the note keeps it.")
                                           .arg(title),
                                Qt::ToolTipRole);
    }
    m_comboBox->setCurrentIndex(index);
}

void ComboPickList::selectItemAtIndex(int index)
{
    removeMissingItem();
    m_comboBox->setCurrentIndex(index);
}

void ComboPickList::removeMissingItem()
{
    const int last = m_comboBox->count() - 1;
    if (last >= 0 && m_comboBox->itemData(last).toString() == QLatin1String(MissingItemMark))
        m_comboBox->removeItem(last);
}

std::optional<QString> ComboPickList::titleOfSelectedItem() const
{
    const int index = m_comboBox->currentIndex();
    if (index < 0)
        return std::nullopt;
    return m_comboBox->itemText(index);
}

int ComboPickList::numberOfItems() const
{
    return m_comboBox->count();
}

QString ComboPickList::itemTitleAtIndex(int index) const
{
    return m_comboBox->itemText(index);
}

int ComboPickList::indexOfTitle(const QString& title) const
{
    const QString wanted = title.normalized(QString::NormalizationForm_C);
    for (int index = 0; index < m_comboBox->count(); ++index) {
        if (m_comboBox->itemText(index).normalized(QString::NormalizationForm_C) == wanted)
            return index;
    }
    return -1;
}
