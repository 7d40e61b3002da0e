// Keeps every test executable away from the desktop of whoever runs it, by itself: before main()
// and so before Qt starts, it points HOME, the XDG folders and the session bus at a fresh private
// folder, so no test can reach the user's keychain, settings, drafts or cache however it is
// started (by ctest, by hand, from an IDE). notes_add_test links this object into every test
// executable; as an object of its own, not a member of a static library, the linker keeps it
// although nothing refers to it.
//
// A launcher that gives a test a session bus of its own (support/tst_keychain.sh) says so by
// setting NOTES_TEST_OWN_BUS to that bus's address; only then is the bus kept.

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

class TestIsolation
{
public:
    TestIsolation()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/notes-test-XXXXXX";
        if (!mkdtemp(pattern.data()))
            refuse("no private temporary folder");
        m_root = pattern;

        const char* ownBus = std::getenv("NOTES_TEST_OWN_BUS");
        const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        const bool keepBus = ownBus && bus && *ownBus && std::strcmp(ownBus, bus) == 0;

        set("HOME", folder("home"));
        set("XDG_CONFIG_HOME", folder("config"));
        set("XDG_DATA_HOME", folder("data"));
        set("XDG_CACHE_HOME", folder("cache"));
        set("XDG_STATE_HOME", folder("state"));
        const std::string runtime = folder("runtime");
        set("XDG_RUNTIME_DIR", runtime);
        // A socket that does not exist: nothing answers there, and with an address set libdbus
        // never starts a bus of its own (X11 autolaunch).
        if (!keepBus)
            set("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime + "/no-session-bus");
    }

    ~TestIsolation()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

    TestIsolation(const TestIsolation&) = delete;
    TestIsolation& operator=(const TestIsolation&) = delete;

private:
    [[noreturn]] static void refuse(const char* why)
    {
        std::fprintf(stderr, "test isolation: %s; the test does not run\n", why);
        std::exit(1);
    }

    // A folder only the user may enter, as XDG_RUNTIME_DIR must be.
    std::string folder(const char* name) const
    {
        const std::string path = m_root + "/" + name;
        if (mkdir(path.c_str(), 0700) != 0)
            refuse("cannot make a private folder");
        return path;
    }

    static void set(const char* name, const std::string& value)
    {
        if (setenv(name, value.c_str(), 1) != 0)
            refuse("cannot set the environment");
    }

    std::string m_root;
};

const TestIsolation isolation;

} // namespace
