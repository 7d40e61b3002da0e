#pragma once

#include <QObject>
#include <QString>

#include <functional>

// The desktop keychain (the Secret Service on Linux, or KWallet) reached through QtKeychain, for
// the one password the client keeps. Every call returns at once and answers exactly once, later,
// on the main thread. QtKeychain runs its jobs one after another, so answers come in call order.
class KeychainAccess : public QObject
{
    Q_OBJECT
public:
    enum class Status
    {
        Done,        // read: the password is there; write: it is stored
        NotFound,    // read only: the keychain answered and holds no password
        Unavailable, // no keychain service answered, or it refused
    };
    using Answer = std::function<void(Status status, const QString& password)>;

    static constexpr char Service[] = "notes-client";
    static constexpr char Account[] = "password";

    explicit KeychainAccess(QObject* parent = nullptr);

    void read(Answer answer);
    void write(const QString& password, Answer answer);
};
