#pragma once

#include <QFuture>

// Opens, on a worker, the libraries and plugins that the first moments of the program need, in
// the order it needs them: the TLS backend with its configuration and the desktop keychain's
// library for the login, then the image format plugins behind the window's first icons and the
// SQLite driver of the offline copy. Each is loaded once per process and shared, so the main
// thread finds it loaded where it would otherwise open it itself while it builds the window.
// One that is missing is simply not preloaded; nothing here holds any state of the program's.
class LibraryPreload
{
public:
    LibraryPreload() = default;
    LibraryPreload(const LibraryPreload&) = delete;
    LibraryPreload& operator=(const LibraryPreload&) = delete;
    ~LibraryPreload();

    void start();
    void waitForFinished();

private:
    QFuture<void> m_loading;
};
