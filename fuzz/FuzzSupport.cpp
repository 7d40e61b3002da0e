#include "FuzzSupport.h"

#include "Localization.h"
#include "MemberCenter.h"
#include "Reference.h"
#include "SettingsStore.h"
#include "TransportCall.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {
QCoreApplication* application = nullptr;
StubTransport* transport = nullptr;
MemberCenter* memberCenter = nullptr;
} // namespace

TransportCall* StubTransport::post(const QUrl&, const QByteArray&, Resend)
{
    m_lastCall = new TransportCall({});
    return m_lastCall;
}

namespace FuzzSupport {

// The objects made here live until the process ends (the leak check looks only at what one input
// leaves behind); the settings folder is removed when libFuzzer exits.
void setUp(int* argc, char*** argv, Application kind)
{
    if (application)
        return;
    if (kind == Application::Widgets)
        application = new QApplication(*argc, *argv);
    else
        application = new QCoreApplication(*argc, *argv);
    Localization::install(QLocale(QLocale::English));
    static QTemporaryDir settingsFolder;
    if (!settingsFolder.isValid())
        fail("no temporary folder for the settings file");
    const QString file = settingsFolder.filePath(QStringLiteral("notes-client.conf"));
    SettingsStore::setSharedFilePath(file);
    transport = new StubTransport;
    memberCenter = new MemberCenter(SettingsStore::shared(), *transport);
}

MemberCenter& session()
{
    return *memberCenter;
}

QByteArray bytesOf(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

void fail(const char* what)
{
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
}

void fail(const char* what, const QString& expected, const QString& actual)
{
    std::fprintf(stderr, "expected: \"%s\"\nactual:   \"%s\"\n",
                 Reference::visible(expected).toUtf8().constData(),
                 Reference::visible(actual).toUtf8().constData());
    fail(what);
}

void expectEqual(const char* what, const QString& expected, const QString& actual)
{
    if (actual != expected)
        fail(what, expected, actual);
}

} // namespace FuzzSupport
