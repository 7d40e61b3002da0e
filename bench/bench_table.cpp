// Shows a table of 10,000 notes, then sorts it by each column the way a click on a header does,
// with a selected row that has to follow its note, and paints the visible rows each time. Prints
// the median of 15 runs in milliseconds; a frame is 16 ms.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_table

#include "NotesTableModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>

#include <algorithm>
#include <cstdio>

namespace {
QList<Note> notes(int count)
{
    QList<Note> list;
    list.reserve(count);
    for (int i = 0; i < count; ++i) {
        Note n;
        n.id = QString::number(i);
        n.client = QStringLiteral("Stavby Žilina s.r.o. %1").arg((i * 7919) % 500);
        n.project = QStringLiteral("Obchvat Žiliny %1").arg((i * 104729) % 300);
        n.note = QStringLiteral("Poznámka číslo %1: zavolať pánovi Kováčovi ohľadom strechy a "
                                "dohodnúť termín obhliadky\ndruhý riadok")
                     .arg((i * 31) % 10007);
        n.createdText = QStringLiteral("20%1-0%2-1%3 1%4:2%5:00")
                            .arg(10 + i % 15)
                            .arg(1 + i % 9)
                            .arg(i % 10)
                            .arg(i % 10)
                            .arg(i % 10);
        list.append(n);
    }
    return list;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    NotesTableModel model;
    QTableView view;
    view.setModel(&model);
    view.setSortingEnabled(true);
    view.resize(1000, 700);
    view.show();
    const QList<Note> list = notes(10000);
    QList<double> shows;
    for (int run = 0; run < 15; ++run) {
        QElapsedTimer timer;
        timer.start();
        model.setNotes(list);
        view.repaint();
        shows.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(shows.begin(), shows.end());
    std::printf("show 10000 notes (reset and paint)  %6.2f ms (median of 15)\n", shows.at(7));
    view.selectRow(5000);
    const char* names[] = {"client", "project", "note", "created"};
    for (int column = 0; column < NotesTableModel::ColumnCount; ++column) {
        QList<double> runs;
        for (int run = 0; run < 15; ++run) {
            QElapsedTimer timer;
            timer.start();
            view.sortByColumn(column, run % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
            view.repaint();
            runs.append(timer.nsecsElapsed() / 1e6);
        }
        std::sort(runs.begin(), runs.end());
        std::printf("sort and paint 10000 notes by %-8s %6.2f ms (median of 15)\n", names[column],
                    runs.at(7));
    }
    return 0;
}
