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

void ComboPickList::selectItemWithTitle(const QString& title)
{
    m_comboBox->setCurrentIndex(indexOfTitle(title));
}

void ComboPickList::selectItemAtIndex(int index)
{
    m_comboBox->setCurrentIndex(index);
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
