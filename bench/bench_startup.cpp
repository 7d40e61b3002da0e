// Start-up of the client against the substitute server, next to the least the same work needs.
// Starts notes-devserver on a free loopback port, then runs, interleaved and N times each:
//
//   A   the client (AppDelegate and the real main window, offscreen) with a fresh settings home,
//       from process start until the notes model holds the server's rows;
//   A'  the same client with the offline copy a previous run left, until the copy is shown;
//   B   curl posting login, clients, projects and notes over one connection (the three lists
//       with a session made beforehand); skipped when curl is missing;
//   C   a bare QNetworkAccessManager doing the same four posts, one after the other;
//
// and, for reference, a process of this program that exits at once, a bare QApplication
// with a shown QMainWindow, and the toolkit's floor for A': a bare QApplication that reads the
// offline copy A' shows with QtSql into a QTableView (no network, no account files). Prints the
// medians, the stages of A and C, and the ratios A/B, A/C and A'/table. With --feed N the server
// holds N canned notes and answers every notes search with all of them; the client then also
// reports the longest event-loop stall and its peak RSS, next to an idle client (the same client
// against a server with no notes).
//
//   build/bench/bench_startup [--runs N] [--feed N]
//
// A, A', C and the references run this program again in a child mode (--client, --bare-qnam,
// --bare-window, --bare-table, --exit) and report moments on CLOCK_MONOTONIC, which the parent
// reads before it spawns them; curl's moment is when its line for the last answer reaches the
// parent.

#include "AppDelegate.h"
#include "Console.h"
#include "DataEndpoint.h"
#include "LatencyProxy.h"
#include "Limits.h"
#include "ListRequest.h"
#include "Localization.h"
#include "MainWindow.h"
#include "NotesTableModel.h"
#include "ViewController.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMainWindow>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock; // CLOCK_MONOTONIC: one clock for every process

constexpr char StampPrefix[] = "@bench ";
constexpr int ChildTimeoutMs = 60000;

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// ---------------------------------------------------------------------------------------------
// Child side: moments are kept in memory and printed once the measured work is over, so printing
// does not slow what is measured.

std::vector<std::string>& pendingStamps()
{
    static std::vector<std::string> stamps;
    return stamps;
}

void stamp(const char* name, qint64 at = nowNs())
{
    pendingStamps().push_back(std::string(name) + ' ' + std::to_string(at));
}

void note(const char* name, long long value)
{
    pendingStamps().push_back(std::string(name) + ' ' + std::to_string(value));
}

void flushStamps()
{
    for (const std::string& line : pendingStamps())
        std::printf("%s%s\n", StampPrefix, line.c_str());
    std::printf("%sdone\n", StampPrefix);
    std::fflush(stdout);
    pendingStamps().clear();
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The longest gap between the turns of the event loop, seen by a 2 ms timer: how long the
// main thread could not react to anything.
class StallMeter
{
public:
    static constexpr int IntervalMs = 2;

    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(IntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this]() { tick(); });
    }
    void start() { m_timer.start(); }
    void stop() { m_timer.stop(); }
    qint64 longestNs() const { return m_longestNs; }
    qint64 longestEndedAt() const { return m_longestEnd; }

private:
    void tick()
    {
        const qint64 now = nowNs();
        if (m_last != 0) {
            const qint64 gap = now - m_last - qint64(IntervalMs) * 1000000;
            if (gap > m_longestNs) {
                m_longestNs = gap;
                m_longestEnd = now;
            }
        }
        m_last = now;
    }

    QTimer m_timer;
    qint64 m_last = 0;
    qint64 m_longestNs = 0;
    qint64 m_longestEnd = 0;
};

// --client EXPECTED [--stall]: the client as notes-client's main() starts it, until the table's
// model holds EXPECTED rows from the server (0: until the notes answer has been handled). The
// offline copy's rows are reported as "copy" on the way.
int runClient(int argc, char** argv)
{
    const int expected = argc > 2 ? std::atoi(argv[2]) : 1;
    const bool measureStalls = argc > 3 && std::strcmp(argv[3], "--stall") == 0;

    QApplication application(argc, argv);
    stamp("qt");
    QApplication::setApplicationName(QStringLiteral("notes-client"));
    QApplication::setApplicationDisplayName(QStringLiteral("Notes"));
    QApplication::setDesktopFileName(QStringLiteral("notes-client"));
    Localization::install();

    AppDelegate delegate;
    StallMeter stalls;
    QTimer idlePoll;
    idlePoll.setInterval(1);
    int listAnswers = 0;
    bool copySeen = false;
    bool finished = false;

    // When the model changed: the view's state (copy or answer) is only settled once the call
    // that changed it has returned, so the rows are judged then, and dated by the change.
    qint64 changedAt = 0;
    qint64 fillingSince = 0;

    const auto finish = [&](qint64 at) {
        finished = true;
        idlePoll.stop();
        if (fillingSince != 0)
            stamp("filling", fillingSince);
        stamp("rows", at);
        note("count", delegate.mainWindow()->viewController()->tableModel()->rowCount());
        const auto report = [&]() {
            stalls.stop();
            if (measureStalls) {
                note("stall-us", stalls.longestNs() / 1000);
                stamp("stall-end", stalls.longestEndedAt());
            }
            note("rss-kb", peakRssKb());
            flushStamps();
            QCoreApplication::quit();
        };
        // The rows are painted in the turns that follow; the stall meter watches those too.
        if (measureStalls)
            QTimer::singleShot(100, report);
        else
            report();
    };
    const auto check = [&]() {
        const qint64 at = changedAt != 0 ? changedAt : nowNs();
        changedAt = 0;
        if (finished)
            return;
        const ViewController* view = delegate.mainWindow()->viewController();
        const int rows = view->tableModel()->rowCount();
        if (view->account()->showsOfflineCopy()) {
            if (rows > 0 && !copySeen) {
                copySeen = true;
                stamp("copy", at);
            }
            return;
        }
        if (expected > 0 ? rows >= expected : listAnswers >= 3 && view->account()->feed().isIdle())
            finish(at);
    };
    const auto modelChanged = [&]() {
        if (changedAt == 0) {
            changedAt = nowNs();
            QMetaObject::invokeMethod(&application, check, Qt::QueuedConnection);
        }
    };

    QObject::connect(&idlePoll, &QTimer::timeout, check);
    QObject::connect(&Console::instance(), &Console::linePrinted, [&](const QString& line) {
        if (line == QLatin1String(ViewController::AppearedLine)) {
            // Printed while the window is shown, before it asks for anything.
            stamp("shown");
            const NotesTableModel* model = delegate.mainWindow()->viewController()->tableModel();
            // The table starts taking a new list: the answer has been read by then, and the
            // offline copy stored.
            QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset,
                             [&]() { fillingSince = nowNs(); });
            QObject::connect(model, &QAbstractItemModel::modelReset, modelChanged);
            QObject::connect(model, &QAbstractItemModel::rowsInserted, modelChanged);
            QObject::connect(model, &QAbstractItemModel::layoutChanged, modelChanged);
        } else if (line == QLatin1String(DataEndpoint::LoggedInLine)) {
            stamp("login");
        } else if (line == QLatin1String(ListRequest::XmlLine)) {
            static const char* const names[] = {"clients", "projects", "notes"};
            if (listAnswers < 3)
                stamp(names[listAnswers]);
            if (++listAnswers == 3 && expected == 0)
                idlePoll.start();
        }
    });
    delegate.applicationDidFinishLaunching();
    stamp("launched");

    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [&]() {
        std::printf("%stimeout %d rows\n", StampPrefix,
                    delegate.mainWindow()->viewController()->tableModel()->rowCount());
        std::fflush(stdout);
        QCoreApplication::exit(1);
    });
    deadline.start(ChildTimeoutMs - 5000);
    stalls.start();
    return QApplication::exec();
}

// --bare-qnam PORT: the four posts of the start-up with nothing but a QNetworkAccessManager.
int runBareQnam(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    stamp("qt");
    const QString base = QStringLiteral("https://localhost:%1/api/").arg(argc > 2 ? argv[2] : "0");
    QNetworkAccessManager manager;
    QByteArray session;
    int status = 1;

    const auto post = [&](const char* script, const QByteArray& body,
                          std::function<void(QNetworkReply*)> done) {
        QNetworkRequest request(QUrl(base + QLatin1String(script)));
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/x-www-form-urlencoded"));
        QNetworkReply* reply = manager.post(request, body);
        // The server's certificate is self-signed.
        QObject::connect(reply, &QNetworkReply::sslErrors, reply,
                         [reply](const QList<QSslError>&) { reply->ignoreSslErrors(); });
        QObject::connect(reply, &QNetworkReply::finished, reply, [reply, done]() {
            reply->deleteLater();
            done(reply);
        });
    };
    const auto failed = [&](QNetworkReply* reply, bool xml) {
        const bool ok =
            reply->error() == QNetworkReply::NoError &&
            reply->header(QNetworkRequest::ContentTypeHeader)
                .toString()
                .startsWith(xml ? QLatin1String("text/xml") : QLatin1String("application/json"));
        if (!ok) {
            std::printf("%sfailed %s %s\n", StampPrefix, qPrintable(reply->url().toString()),
                        qPrintable(reply->errorString()));
            std::fflush(stdout);
            QCoreApplication::exit(1);
        }
        return !ok;
    };
    const auto list = [&](const char* script, const QByteArray& parameters, const char* name,
                          std::function<void()> next) {
        post(script, "PHPSESSID=" + session + parameters, [=](QNetworkReply* reply) {
            const QByteArray body = reply->readAll();
            if (failed(reply, true))
                return;
            stamp(name);
            note(QByteArray(name).append("-bytes").constData(), body.size());
            next();
        });
    };

    post("login.php", "login=demo&password=demo", [&](QNetworkReply* reply) {
        const QByteArray body = reply->readAll();
        if (failed(reply, false))
            return;
        session = QJsonDocument::fromJson(body)[QLatin1String("PHPSESSID")].toString().toUtf8();
        stamp("login");
        list("client.php", "&action=xml_clients&StatusID=1&limit=500", "clients", [&]() {
            list("project.php", "&action=xml_projects&StatusID=1&limit=500", "projects", [&]() {
                list("notes.php",
                     "&action=xml_notes&noteKeyword=&clientKeyword=&projectKeyword=&limit=100",
                     "notes", [&]() {
                         stamp("rows");
                         flushStamps();
                         status = 0;
                         QCoreApplication::quit();
                     });
            });
        });
    });
    QTimer::singleShot(ChildTimeoutMs - 5000, []() { QCoreApplication::exit(1); });
    QCoreApplication::exec();
    return status;
}

// --bare-window: QApplication and a shown QMainWindow of the client's size, until the event loop
// has turned once.
int runBareWindow(int argc, char** argv)
{
    QApplication application(argc, argv);
    stamp("qt");
    QMainWindow window;
    window.resize(1100, 680);
    window.show();
    stamp("shown");
    QTimer::singleShot(0, [&]() {
        stamp("rows");
        flushStamps();
        QCoreApplication::quit();
    });
    return QApplication::exec();
}

// --bare-table FILE: what showing the offline copy needs at the least: the notes of the SQLite
// file FILE, in their order, read into a model shown by a QTableView in a window of the
// client's size. "rows" is when the model holds them, as "copy" is for the client.
int runBareTable(int argc, char** argv)
{
    QApplication application(argc, argv);
    stamp("qt");
    QMainWindow window;
    auto* view = new QTableView(&window);
    window.setCentralWidget(view);
    window.resize(1100, 680);
    window.show();
    stamp("shown");
    QStandardItemModel model;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        database.setDatabaseName(QString::fromLocal8Bit(argc > 2 ? argv[2] : ""));
        database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlQuery query(database);
        if (!database.open() ||
            !query.exec(QStringLiteral("SELECT * FROM notes ORDER BY position")))
            return 1;
        const int columns = query.record().count() - 1; // all but the position
        model.setColumnCount(columns);
        while (query.next()) {
            QList<QStandardItem*> row;
            for (int column = 0; column < columns; ++column)
                row.append(new QStandardItem(query.value(column).toString()));
            model.appendRow(row);
        }
    }
    view->setModel(&model);
    if (model.rowCount() == 0)
        return 1;
    stamp("rows");
    QTimer::singleShot(0, [&]() {
        flushStamps();
        QCoreApplication::quit();
    });
    return QApplication::exec();
}

// The offline copy a client run left in home, or empty.
std::string offlineCopyIn(const std::string& home)
{
    QDirIterator files(QString::fromStdString(home), {QStringLiteral("*.sqlite")}, QDir::Files,
                       QDirIterator::Subdirectories);
    return files.hasNext() ? files.next().toStdString() : std::string();
}

// ---------------------------------------------------------------------------------------------
// Parent side.

struct Child
{
    pid_t pid = -1;
    int out = -1;
    qint64 startNs = 0;
};

std::vector<char*> cStrings(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

enum class Read
{
    Output, // standard output on the pipe, standard error appended to the file
    Errors  // standard error on the pipe, standard output appended to the file
};

// Starts a program with one of its outputs on a pipe, for collect().
Child spawn(std::vector<std::string> arguments, std::vector<std::string> environment,
            const std::string& otherFile, Read read = Read::Output)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return {};
    const int piped = read == Read::Output ? STDOUT_FILENO : STDERR_FILENO;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], piped);
    posix_spawn_file_actions_addopen(&actions,
                                     piped == STDOUT_FILENO ? STDERR_FILENO : STDOUT_FILENO,
                                     otherFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    std::vector<char*> argv = cStrings(arguments);
    std::vector<char*> envp = cStrings(environment);
    Child child;
    child.startNs = nowNs();
    const int error =
        posix_spawnp(&child.pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (error != 0) {
        close(fds[0]);
        return {};
    }
    child.out = fds[0];
    return child;
}

// Reads the child's output line by line until it closes it (or the time is up), then waits for
// it. Lines starting with StampPrefix land in the map, with the moment each arrived.
struct Output
{
    std::map<std::string, std::string> values;
    std::vector<std::pair<std::string, qint64>> lines; // every stamped line and when it arrived
    bool exitedCleanly = false;
};

Output collect(Child& child, int timeoutMs = ChildTimeoutMs)
{
    Output output;
    std::string buffer;
    const qint64 deadline = nowNs() + qint64(timeoutMs) * 1000000;
    bool timedOut = false;
    while (true) {
        const qint64 left = (deadline - nowNs()) / 1000000;
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd fd{child.out, POLLIN, 0};
        if (poll(&fd, 1, int(left)) <= 0)
            continue;
        char chunk[65536];
        const ssize_t n = read(child.out, chunk, sizeof chunk);
        if (n <= 0)
            break;
        const qint64 arrived = nowNs();
        buffer.append(chunk, size_t(n));
        size_t end;
        while ((end = buffer.find('\n')) != std::string::npos) {
            const std::string line = buffer.substr(0, end);
            buffer.erase(0, end + 1);
            if (line.rfind(StampPrefix, 0) != 0)
                continue;
            const std::string rest = line.substr(std::strlen(StampPrefix));
            const size_t space = rest.find(' ');
            output.values[rest.substr(0, space)] =
                space == std::string::npos ? std::string() : rest.substr(space + 1);
            output.lines.emplace_back(rest, arrived);
        }
    }
    close(child.out);
    if (timedOut)
        kill(child.pid, SIGKILL);
    int status = 0;
    waitpid(child.pid, &status, 0);
    output.exitedCleanly = !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return output;
}

std::vector<std::string> environmentWith(const std::map<std::string, std::string>& changes)
{
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (changes.count(text.substr(0, text.find('='))) == 0)
            result.push_back(text);
    }
    for (const auto& [name, value] : changes)
        result.push_back(name + '=' + value);
    return result;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One kind of run and what its runs measured: milliseconds from spawn by stage, or other values.
struct Series
{
    std::string label;
    std::map<std::string, std::vector<double>> samples;
    int failures = 0;

    double medianOf(const std::string& name) const
    {
        const auto it = samples.find(name);
        return it == samples.end() ? 0 : median(it->second);
    }
    double maxOf(const std::string& name) const
    {
        const auto it = samples.find(name);
        return it == samples.end() || it->second.empty()
                   ? 0
                   : *std::max_element(it->second.begin(), it->second.end());
    }
    double minOf(const std::string& name) const
    {
        const auto it = samples.find(name);
        return it == samples.end() || it->second.empty()
                   ? 0
                   : *std::min_element(it->second.begin(), it->second.end());
    }
    bool has(const std::string& name) const
    {
        const auto it = samples.find(name);
        return it != samples.end() && !it->second.empty();
    }
};

// Every stage a child stamped, in milliseconds since it was spawned.
void addStamps(Series& series, const Child& child, const Output& output,
               const std::vector<std::string>& stages)
{
    for (const std::string& stage : stages) {
        const auto it = output.values.find(stage);
        if (it != output.values.end())
            series.samples[stage].push_back(double(std::stoll(it->second) - child.startNs) / 1e6);
    }
}

class Server
{
public:
    bool start(const QString& dir, int notes, const std::vector<std::string>& extra = {})
    {
        std::vector<std::string> arguments = {NOTES_DEVSERVER_PATH, "--port", "0", "--data-dir",
                                              dir.toStdString()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        if (notes >= 0) {
            for (const char* option : {"--seed-notes", "--notes-limit"}) {
                arguments.push_back(option);
                arguments.push_back(std::to_string(notes));
            }
        }
        m_log = (dir + QStringLiteral(".log")).toStdString();
        m_child = spawn(arguments, environmentWith({}), m_log);
        if (m_child.pid <= 0)
            return false;
        // The first line is the port; it comes once the server listens.
        std::string line;
        char c;
        pollfd fd{m_child.out, POLLIN, 0};
        while (poll(&fd, 1, 30000) > 0 && read(m_child.out, &c, 1) == 1 && c != '\n')
            line += c;
        m_port = std::atoi(line.c_str());
        return m_port > 0;
    }
    void stop()
    {
        if (m_child.pid <= 0)
            return;
        kill(m_child.pid, SIGTERM);
        waitpid(m_child.pid, nullptr, 0);
        close(m_child.out);
        m_child = {};
    }
    ~Server() { stop(); }
    int port() const { return m_port; }
    const std::string& log() const { return m_log; }

private:
    Child m_child;
    int m_port = 0;
    std::string m_log;
};

struct Options
{
    int runs = 15;
    int feed = -1; // -1: the demo notes
};

class Bench
{
public:
    Bench(const Options& options, const QString& self, const QString& root)
        : m_options(options), m_self(self.toStdString()), m_root(root)
    {
    }

    int run();

private:
    std::string newHome(int port);
    std::map<std::string, std::string> clientEnvironment(const std::string& home) const;
    void runClient(Series& series, const std::string& home, int expected, bool copy);
    void runChild(Series& series, const char* mode, const std::vector<std::string>& extra,
                  const std::vector<std::string>& stages);
    void runCurl(Series& series, int port, const std::string& sessionId);
    std::optional<std::string> makeSession(int port);
    int runOverSlowLinks(int expected);
    void report(const std::vector<Series*>& all);

    Options m_options;
    std::string m_self;
    QString m_root;
    int m_homes = 0;
    int m_port = 0;
    std::string m_curl;
    std::string m_session;
    std::string m_warmHome;
};

std::string Bench::newHome(int port)
{
    const QString home = m_root + QStringLiteral("/home-%1").arg(++m_homes);
    QDir().mkpath(home + QStringLiteral("/config/notes-client"));
    QDir().mkpath(home + QStringLiteral("/runtime"));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile settings(home + QStringLiteral("/config/notes-client/notes-client.conf"));
    if (settings.open(QIODevice::WriteOnly)) {
        settings.write(QStringLiteral("[General]\nhost=localhost:%1\npath=\nlogin=demo\n"
                                      "password=demo\n")
                           .arg(port)
                           .toUtf8());
    }
    return home.toStdString();
}

std::map<std::string, std::string> Bench::clientEnvironment(const std::string& home) const
{
    return {{"QT_QPA_PLATFORM", "offscreen"},
            {"LANG", "C.UTF-8"},
            {"LC_ALL", "C.UTF-8"},
            {"XDG_CONFIG_HOME", home + "/config"},
            {"XDG_DATA_HOME", home + "/data"},
            {"XDG_CACHE_HOME", home + "/cache"},
            {"XDG_RUNTIME_DIR", home + "/runtime"},
            // No desktop keychain is asked: the password stays in the settings file.
            {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + home + "/no-session-bus"}};
}

const std::vector<std::string> ClientStages = {"qt",      "launched", "shown",    "copy",
                                               "login",   "clients",  "projects", "notes",
                                               "filling", "rows",     "stall-end"};

void Bench::runClient(Series& series, const std::string& home, int expected, bool copy)
{
    std::vector<std::string> arguments = {m_self, "--client", std::to_string(expected)};
    if (m_options.feed >= 0)
        arguments.push_back("--stall");
    Child child = spawn(arguments, environmentWith(clientEnvironment(home)), home + "/stderr.log");
    const Output output = collect(child);
    const auto count = output.values.find("count");
    if (!output.exitedCleanly || output.values.count("rows") == 0 ||
        (copy && output.values.count("copy") == 0) ||
        (expected > 0 && (count == output.values.end() || std::stoi(count->second) < expected))) {
        ++series.failures;
        std::fprintf(stderr, "%s: a run failed; its error output is in %s/stderr.log\n",
                     series.label.c_str(), home.c_str());
        return;
    }
    addStamps(series, child, output, ClientStages);
    if (output.values.count("stall-us"))
        series.samples["stall"].push_back(std::stod(output.values.at("stall-us")) / 1000);
    series.samples["rss"].push_back(std::stod(output.values.at("rss-kb")) / 1024);
}

void Bench::runChild(Series& series, const char* mode, const std::vector<std::string>& extra,
                     const std::vector<std::string>& stages)
{
    std::vector<std::string> arguments = {m_self, mode};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const std::string home = m_root.toStdString() + "/children";
    Child child = spawn(arguments, environmentWith(clientEnvironment(home)), home + ".log");
    const Output output = collect(child);
    if (!output.exitedCleanly || output.values.count("done") == 0) {
        ++series.failures;
        std::fprintf(stderr, "%s: a run failed; see %s.log\n", series.label.c_str(), home.c_str());
        return;
    }
    addStamps(series, child, output, stages);
    // A process that only exits has no stamp of its own: its end is when its line arrived.
    if (stages.empty())
        series.samples["rows"].push_back(double(output.lines.back().second - child.startNs) / 1e6);
}

std::optional<std::string> Bench::makeSession(int port)
{
    const std::string url = "https://localhost:" + std::to_string(port) + "/api/login.php";
    Child child = spawn({m_curl, "-s", "-k", "--data-raw", "login=demo&password=demo", "-w",
                         "\n@bench done\n", url},
                        environmentWith({}), m_root.toStdString() + "/curl.log");
    std::string all;
    char chunk[4096];
    ssize_t n;
    while ((n = read(child.out, chunk, sizeof chunk)) > 0)
        all.append(chunk, size_t(n));
    close(child.out);
    waitpid(child.pid, nullptr, 0);
    const QString id = QJsonDocument::fromJson(QByteArray::fromStdString(
        all.substr(0, all.find('\n'))))[QLatin1String("PHPSESSID")]
                           .toString();
    if (id.isEmpty())
        return std::nullopt;
    return id.toStdString();
}

// One curl process, one connection: login, then the three lists with the session made before.
void Bench::runCurl(Series& series, int port, const std::string& sessionId)
{
    const std::string base = "https://localhost:" + std::to_string(port) + "/api/";
    // A line after each answer, on standard error, which curl does not buffer (its standard
    // output it writes only at the end). Not starting with "@", which would make curl read the
    // format from a file.
    const std::string format =
        "%{stderr}\n@bench answer %{http_code} %{num_connects} %{content_type}\n";
    const std::string session = "PHPSESSID=" + sessionId;
    const std::vector<std::pair<std::string, std::string>> posts = {
        {"login.php", "login=demo&password=demo"},
        {"client.php", session + "&action=xml_clients&StatusID=1&limit=500"},
        {"project.php", session + "&action=xml_projects&StatusID=1&limit=500"},
        {"notes.php",
         session + "&action=xml_notes&noteKeyword=&clientKeyword=&projectKeyword=&limit=100"}};
    std::vector<std::string> arguments = {m_curl};
    for (size_t i = 0; i < posts.size(); ++i) {
        if (i > 0)
            arguments.push_back("--next");
        for (const std::string& argument :
             {std::string("-s"), std::string("-k"), std::string("-o"), std::string("/dev/null"),
              std::string("-w"), format, std::string("--data-raw"), posts[i].second,
              base + posts[i].first})
            arguments.push_back(argument);
    }
    Child child =
        spawn(arguments, environmentWith({}), m_root.toStdString() + "/curl.log", Read::Errors);
    const Output output = collect(child);
    // Each answer as expected: JSON for the login, XML for the lists, all on the first connection.
    bool ok = output.exitedCleanly && output.lines.size() == posts.size();
    for (size_t i = 0; ok && i < output.lines.size(); ++i) {
        const std::string& line = output.lines[i].first;
        const std::string connects = i == 0 ? " 1 " : " 0 ";
        ok = line.rfind("answer 200" + connects, 0) == 0 &&
             line.find(i == 0 ? "application/json" : "text/xml") != std::string::npos;
    }
    if (!ok) {
        ++series.failures;
        std::fprintf(stderr, "B: curl's answers were not the expected ones:\n");
        for (const auto& line : output.lines)
            std::fprintf(stderr, "  %s\n", line.first.c_str());
        return;
    }
    const char* stages[] = {"login", "clients", "projects", "rows"};
    for (size_t i = 0; i < output.lines.size(); ++i)
        series.samples[stages[i]].push_back(double(output.lines[i].second - child.startNs) / 1e6);
}

void printStages(const Series& series, const std::vector<std::string>& stages)
{
    std::printf("      stages (median ms):");
    for (const std::string& stage : stages) {
        if (series.has(stage))
            std::printf(" %s %.1f", stage.c_str(), series.medianOf(stage));
    }
    std::printf("\n");
}

int Bench::run()
{
    m_curl = QStandardPaths::findExecutable(QStringLiteral("curl")).toStdString();
    const QString serverDir = m_root + QStringLiteral("/server");
    Server server;
    if (!server.start(serverDir, m_options.feed)) {
        std::fprintf(stderr, "notes-devserver did not start; see %s\n", server.log().c_str());
        return 1;
    }
    m_port = server.port();
    QDir().mkpath(m_root + QStringLiteral("/children/runtime"));
    Server idleServer;
    if (m_options.feed >= 0 && !idleServer.start(m_root + QStringLiteral("/idle-server"), 0)) {
        std::fprintf(stderr, "the second notes-devserver did not start; see %s\n",
                     idleServer.log().c_str());
        return 1;
    }
    if (!m_curl.empty()) {
        const auto session = makeSession(m_port);
        if (!session) {
            std::fprintf(stderr, "curl could not log in\n");
            return 1;
        }
        m_session = *session;
    }
    // The client keeps at most Limits::MaxListItems notes of a feed.
    const int expected = m_options.feed > 0    ? std::min(m_options.feed, Limits::MaxListItems)
                         : m_options.feed == 0 ? 0
                                               : 1;

    Series a{"A   client, fresh home", {}, 0};
    Series copy{"A'  client, warm offline copy", {}, 0};
    Series idle{"    idle client (no notes)", {}, 0};
    Series curl{"B   curl, 4 posts", {}, 0};
    Series qnam{"C   bare QNetworkAccessManager", {}, 0};
    Series floor{"    process that exits at once", {}, 0};
    Series window{"    bare QApplication + QMainWindow", {}, 0};
    Series table{"    bare QTableView of the copy", {}, 0};

    // The offline copy is made by one run that is not counted.
    m_warmHome = newHome(m_port);
    {
        Series warmup{"A' warm-up", {}, 0};
        runClient(warmup, m_warmHome, expected, false);
        if (warmup.failures > 0)
            return 1;
    }
    const std::string warmCopy = offlineCopyIn(m_warmHome);

    std::vector<std::function<void()>> kinds = {
        [&]() {
            const std::string home = newHome(m_port);
            runClient(a, home, expected, false);
            if (a.failures == 0)
                QDir(QString::fromStdString(home)).removeRecursively();
        },
        [&]() { runClient(copy, m_warmHome, expected, true); },
        [&]() {
            runChild(qnam, "--bare-qnam", {std::to_string(m_port)},
                     {"qt", "login", "clients", "projects", "notes", "rows"});
        },
        [&]() { runChild(floor, "--exit", {}, {}); },
        [&]() {
            runChild(window, "--bare-window", {}, {"qt", "shown", "rows"});
        },
        [&]() {
            runChild(table, "--bare-table", {warmCopy}, {"qt", "shown", "rows"});
        },
    };
    if (!m_curl.empty())
        kinds.push_back([&]() { runCurl(curl, m_port, m_session); });
    if (m_options.feed >= 0) {
        kinds.push_back([&]() {
            const std::string home = newHome(idleServer.port());
            runClient(idle, home, 0, false);
            if (idle.failures == 0)
                QDir(QString::fromStdString(home)).removeRecursively();
        });
    }
    // Interleaved, each round starting with another kind, so none always follows the same one.
    for (int round = 0; round < m_options.runs; ++round) {
        for (size_t i = 0; i < kinds.size(); ++i)
            kinds[(size_t(round) + i) % kinds.size()]();
    }

    std::printf("bench_startup: %d interleaved runs of each, notes-devserver on localhost:%d, %s\n",
                m_options.runs, m_port,
                m_options.feed >= 0
                    ? qPrintable(QStringLiteral("%1 canned notes").arg(m_options.feed))
                    : "its demo notes");
    std::printf("ms from process start until the notes are there (copy: until the offline copy "
                "is shown)\n");
    std::printf("%-38s %8s %8s %8s\n", "", "median", "min", "max");
    const auto line = [](const Series& series, const char* stage) {
        if (!series.has(stage)) {
            std::printf("%-38s %8s\n", series.label.c_str(), "-");
            return;
        }
        std::printf("%-38s %8.1f %8.1f %8.1f%s\n", series.label.c_str(), series.medianOf(stage),
                    series.minOf(stage), series.maxOf(stage),
                    series.failures
                        ? qPrintable(QStringLiteral("  (%1 failed runs)").arg(series.failures))
                        : "");
    };
    line(a, "rows");
    printStages(
        a, {"qt", "shown", "launched", "login", "clients", "projects", "notes", "filling", "rows"});
    line(copy, "copy");
    printStages(copy, {"qt", "shown", "copy", "login", "rows"});
    if (m_curl.empty()) {
        std::printf("%-38s skipped: curl is not installed\n", curl.label.c_str());
    } else {
        line(curl, "rows");
        printStages(curl, {"login", "clients", "projects", "rows"});
    }
    line(qnam, "rows");
    printStages(qnam, {"qt", "login", "clients", "projects", "rows"});
    line(floor, "rows");
    line(window, "rows");
    printStages(window, {"qt", "shown", "rows"});
    line(table, "rows");
    printStages(table, {"qt", "shown", "rows"});

    const double aMedian = a.medianOf("rows");
    if (curl.has("rows"))
        std::printf("A/B %.2f   ", aMedian / curl.medianOf("rows"));
    if (qnam.has("rows"))
        std::printf("A/C %.2f", aMedian / qnam.medianOf("rows"));
    if (copy.has("copy") && table.has("rows"))
        std::printf("   A'/bare table %.2f", copy.medianOf("copy") / table.medianOf("rows"));
    std::printf("\n");

    if (m_options.feed >= 0) {
        std::printf("\nlongest event-loop stall from the first turn of the loop until 100 ms after "
                    "the rows (ms): median %.1f, max %.1f; idle client: median %.1f\n",
                    a.medianOf("stall"), a.maxOf("stall"), idle.medianOf("stall"));
        std::printf("      it ended at %.1f ms from process start (median; rows at %.1f)\n",
                    a.medianOf("stall-end"), aMedian);
        std::printf("peak RSS (MB): client with %d notes %.1f, idle client %.1f, difference "
                    "%+.1f\n",
                    m_options.feed, a.medianOf("rss"), idle.medianOf("rss"),
                    a.medianOf("rss") - idle.medianOf("rss"));
    }
    const int failures = a.failures + copy.failures + curl.failures + qnam.failures +
                         floor.failures + window.failures + table.failures + idle.failures;
    const int slowFailures = runOverSlowLinks(expected);
    return failures == 0 && slowFailures == 0 ? 0 : 1;
}

// The same start-up over links of 50 and 150 ms round trip (LatencyProxy), against a server whose
// login takes 65 ms more, as a real one's password check does: A, A' and curl's four posts.
int Bench::runOverSlowLinks(int expected)
{
    if (m_curl.empty())
        return 0;
    Server slow;
    if (!slow.start(m_root + QStringLiteral("/slow-server"), m_options.feed,
                    {"--login-delay-ms", "65"})) {
        std::fprintf(stderr, "the slow notes-devserver did not start; see %s\n",
                     slow.log().c_str());
        return 1;
    }
    const auto session = makeSession(slow.port());
    if (!session)
        return 1;
    int failures = 0;
    for (const int roundTrip : {50, 150}) {
        LatencyProxy proxy(slow.port(), roundTrip);
        if (proxy.port() == 0)
            return failures + 1;
        Series a{"A   client, fresh home", {}, 0};
        Series copy{"A'  client, warm offline copy", {}, 0};
        Series curl{"B   curl, 4 posts", {}, 0};
        const std::string warmHome = newHome(proxy.port());
        Series warmup{"A' warm-up", {}, 0};
        runClient(warmup, warmHome, expected, false);
        std::vector<std::function<void()>> kinds = {
            [&]() {
                const std::string home = newHome(proxy.port());
                proxy.takeConnections();
                proxy.takeConnectionsCarryingRequests();
                runClient(a, home, expected, false);
                a.samples["connections"].push_back(proxy.takeConnections());
                a.samples["carrying"].push_back(proxy.takeConnectionsCarryingRequests());
                if (a.failures == 0)
                    QDir(QString::fromStdString(home)).removeRecursively();
            },
            [&]() { runClient(copy, warmHome, expected, true); },
            [&]() {
                proxy.takeConnections();
                proxy.takeConnectionsCarryingRequests();
                runCurl(curl, proxy.port(), *session);
                curl.samples["connections"].push_back(proxy.takeConnections());
                curl.samples["carrying"].push_back(proxy.takeConnectionsCarryingRequests());
            },
        };
        for (int round = 0; round < m_options.runs; ++round) {
            for (size_t i = 0; i < kinds.size(); ++i)
                kinds[(size_t(round) + i) % kinds.size()]();
        }
        std::printf("\nover a link of %d ms round trip, login answered 65 ms later (ms from "
                    "process start)\n",
                    roundTrip);
        for (const Series* series : {&a, &copy, &curl}) {
            const char* stage = series == &copy ? "copy" : "rows";
            if (!series->has(stage)) {
                std::printf("%-38s %8s\n", series->label.c_str(), "-");
                continue;
            }
            std::printf("%-38s %8.1f %8.1f %8.1f", series->label.c_str(), series->medianOf(stage),
                        series->minOf(stage), series->maxOf(stage));
            if (series->has("connections"))
                std::printf("   TLS connections per start: %.0f, %.0f of them used",
                            series->medianOf("connections"), series->medianOf("carrying"));
            std::printf("\n");
        }
        printStages(a, {"qt", "shown", "login", "clients", "projects", "notes", "rows"});
        printStages(curl, {"login", "clients", "projects", "rows"});
        if (a.has("rows") && curl.has("rows"))
            std::printf("A/B %.2f   A'/B %.2f\n", a.medianOf("rows") / curl.medianOf("rows"),
                        copy.has("copy") ? copy.medianOf("copy") / curl.medianOf("rows") : 0.0);
        failures += a.failures + copy.failures + curl.failures + warmup.failures;
    }
    return failures;
}

int usage()
{
    std::fprintf(stderr, "usage: bench_startup [--runs N] [--feed N]\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--client")
        return runClient(argc, argv);
    if (mode == "--bare-qnam")
        return runBareQnam(argc, argv);
    if (mode == "--bare-table")
        return runBareTable(argc, argv);
    if (mode == "--bare-window")
        return runBareWindow(argc, argv);
    if (mode == "--exit") {
        flushStamps();
        return 0;
    }

    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if ((option == "--runs" || option == "--feed") && i + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < (option == "--runs" ? 1 : 0) || value > 1000000)
                return usage();
            (option == "--runs" ? options.runs : options.feed) = int(value);
        } else {
            return usage();
        }
    }
    QCoreApplication application(argc, argv);
    QTemporaryDir root;
    if (!root.isValid())
        return 1;
    umask(077);
    Bench bench(options, QCoreApplication::applicationFilePath(), root.path());
    return bench.run();
}
