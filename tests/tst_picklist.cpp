#include "ComboPickList.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

namespace {
const QString Precomposed = QStringLiteral("Caf\u00e9");
const QString Decomposed = QStringLiteral("Cafe\u0301");

QStringList titlesOf(const PickList& list)
{
    QStringList titles;
    for (int index = 0; index < list.numberOfItems(); ++index)
        titles << list.itemTitleAtIndex(index);
    return titles;
}

void fill(PickList& list, const QStringList& titles)
{
    for (const QString& title : titles)
        list.addItemWithTitle(title);
}
} // namespace

class TestPickList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addingKeepsOneItemPerTitle_data();
    void addingKeepsOneItemPerTitle();
    void selectByTitle_data();
    void selectByTitle();
    void selectByIndex_data();
    void selectByIndex();
    void removeAllItemsEmptiesTheList();

private:
    QComboBox* m_combo = nullptr;
};

void TestPickList::init()
{
    m_combo = new QComboBox;
}

void TestPickList::cleanup()
{
    delete m_combo;
    m_combo = nullptr;
}

void TestPickList::addingKeepsOneItemPerTitle_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("distinct titles in order")
        << QStringList{"Alpha", "Beta", "Gamma"} << QStringList{"Alpha", "Beta", "Gamma"};
    QTest::newRow("duplicate moves to the later position")
        << QStringList{"Alpha", "Beta", "Alpha", "Gamma"} << QStringList{"Beta", "Alpha", "Gamma"};
    QTest::newRow("placeholder displaced by equal title")
        << QStringList{"Client", "Alpha", "Client"} << QStringList{"Alpha", "Client"};
    QTest::newRow("case differs, two items")
        << QStringList{"alpha", "Alpha"} << QStringList{"alpha", "Alpha"};
    QTest::newRow("trailing space differs, two items")
        << QStringList{"Alpha", "Alpha "} << QStringList{"Alpha", "Alpha "};
    QTest::newRow("canonically equal forms, one item")
        << QStringList{Precomposed, "Beta", Decomposed} << QStringList{"Beta", Decomposed};
    QTest::newRow("empty title once") << QStringList{"", "Alpha", ""} << QStringList{"Alpha", ""};
}

void TestPickList::addingKeepsOneItemPerTitle()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, items);
    ComboPickList list(m_combo);

    fill(list, added);

    QCOMPARE(titlesOf(list), items);
    QCOMPARE(list.numberOfItems(), items.size());
    QCOMPARE(m_combo->count(), items.size());
}

void TestPickList::selectByTitle_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("index");

    const QStringList clients = {"Alpha", "Beta", "Gamma"};
    QTest::newRow("existing") << clients << QStringLiteral("Beta") << 1;
    QTest::newRow("last") << clients << QStringLiteral("Gamma") << 2;
    QTest::newRow("missing") << clients << QStringLiteral("Delta") << -1;
    QTest::newRow("different case") << clients << QStringLiteral("beta") << -1;
    QTest::newRow("prefix only") << clients << QStringLiteral("Bet") << -1;
    QTest::newRow("empty list") << QStringList() << QStringLiteral("Alpha") << -1;
    QTest::newRow("decomposed finds precomposed")
        << QStringList{"Alpha", Precomposed} << Decomposed << 1;
    QTest::newRow("precomposed finds decomposed")
        << QStringList{Decomposed, "Alpha"} << Precomposed << 0;
}

void TestPickList::selectByTitle()
{
    QFETCH(QStringList, items);
    QFETCH(QString, title);
    QFETCH(int, index);
    ComboPickList list(m_combo);
    fill(list, items);
    list.selectItemAtIndex(items.size() - 1);

    list.selectItemWithTitle(title);

    QCOMPARE(m_combo->currentIndex(), index);
    if (index < 0)
        QCOMPARE(list.titleOfSelectedItem(), std::nullopt);
    else
        QCOMPARE(list.titleOfSelectedItem(), std::optional<QString>(items.at(index)));
}

void TestPickList::selectByIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("title");

    QTest::newRow("first") << 0 << QStringLiteral("Alpha");
    QTest::newRow("middle") << 1 << QStringLiteral("Beta");
    QTest::newRow("last") << 2 << QStringLiteral("Gamma");
    QTest::newRow("none") << -1 << QString();
}

void TestPickList::selectByIndex()
{
    QFETCH(int, index);
    QFETCH(QString, title);
    ComboPickList list(m_combo);
    fill(list, {"Alpha", "Beta", "Gamma"});

    list.selectItemAtIndex(index);

    QCOMPARE(m_combo->currentIndex(), index);
    QCOMPARE(m_combo->currentText(), title);
    if (index < 0)
        QCOMPARE(list.titleOfSelectedItem(), std::nullopt);
    else
        QCOMPARE(list.titleOfSelectedItem(), std::optional<QString>(title));
}

void TestPickList::removeAllItemsEmptiesTheList()
{
    ComboPickList list(m_combo);
    QSignalSpy activated(m_combo, &QComboBox::activated);
    fill(list, {"Alpha", "Beta"});
    list.selectItemAtIndex(1);

    list.removeAllItems();

    QCOMPARE(list.numberOfItems(), 0);
    QCOMPARE(m_combo->count(), 0);
    QCOMPARE(list.titleOfSelectedItem(), std::nullopt);

    fill(list, {"Gamma", "Alpha"});
    QCOMPARE(titlesOf(list), (QStringList{"Gamma", "Alpha"}));
    QCOMPARE(list.titleOfSelectedItem(), std::optional<QString>(QStringLiteral("Gamma")));
    QCOMPARE(activated.size(), 0);
}

QTEST_MAIN(TestPickList)
#include "tst_picklist.moc"
