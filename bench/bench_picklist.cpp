// Fills a client pick-list from a server answer of 500, 10,000 and 100,000 clients, the way the
// main window does: parse the XML list, then put the placeholder and every name into the combo
// box. Prints milliseconds for the parse and for the fill.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_picklist

#include "ApiTransport.h"
#include "ClientList.h"
#include "ComboPickList.h"
#include "MemberCenter.h"
#include "SettingsStore.h"
#include "TransportCall.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {
class NoTransport : public ApiTransport
{
public:
    TransportCall* post(const QUrl&, const QByteArray&, Resend) override
    {
        return new TransportCall({});
    }
};

QByteArray clients(int count)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<clients>\n";
    for (int i = 0; i < count; ++i)
        xml += "  <item>\n    <ClientID>" + QByteArray::number(i) +
               "</ClientID>\n    <name>Stavby Žilina s.r.o. " + QByteArray::number(i) +
               "</name>\n  </item>\n";
    return xml + "</clients>\n";
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir home;
    SettingsStore::setSharedFilePath(home.filePath(QStringLiteral("notes-client.conf")));
    NoTransport transport;
    MemberCenter session(SettingsStore::shared(), transport);
    for (const int count : {500, 10000, 100000}) {
        const QByteArray xml = clients(count);
        QComboBox combo;
        ComboPickList pickList(&combo);
        ClientList list(session);
        QElapsedTimer timer;
        timer.start();
        list.takeXmlItems(xml, nullptr);
        const double parsed = timer.nsecsElapsed() / 1e6;
        timer.restart();
        list.takeXmlItems(xml, &pickList);
        const double both = timer.nsecsElapsed() / 1e6;
        std::printf("%6d clients: parse %7.1f ms, parse and fill %7.1f ms (fill %6.1f ms), %d "
                    "items\n",
                    count, parsed, both, both - parsed, combo.count());
    }
    return 0;
}
