#include "KeychainAccess.h"

#include <qt6keychain/keychain.h>

namespace {
KeychainAccess::Status statusOf(const QKeychain::Job& job)
{
    switch (job.error()) {
    case QKeychain::NoError:
        return KeychainAccess::Status::Done;
    case QKeychain::EntryNotFound:
        return KeychainAccess::Status::NotFound;
    default:
        return KeychainAccess::Status::Unavailable;
    }
}
} // namespace

KeychainAccess::KeychainAccess(QObject* parent) : QObject(parent) {}

// A job belongs to no one and deletes itself once it has finished: the keychain's library calls
// back into it even when this object is gone by then, and only the answer is tied to this
// object's life.

void KeychainAccess::read(Answer answer)
{
    auto* job = new QKeychain::ReadPasswordJob(QLatin1String(Service));
    job->setKey(QLatin1String(Account));
    connect(job, &QKeychain::Job::finished, this, [answer = std::move(answer)](QKeychain::Job* j) {
        answer(statusOf(*j), static_cast<QKeychain::ReadPasswordJob*>(j)->textData());
    });
    job->start();
}

void KeychainAccess::write(const QString& password, Answer answer)
{
    auto* job = new QKeychain::WritePasswordJob(QLatin1String(Service));
    job->setKey(QLatin1String(Account));
    job->setTextData(password);
    connect(job, &QKeychain::Job::finished, this,
            [answer = std::move(answer)](QKeychain::Job* j) { answer(statusOf(*j), QString()); });
    job->start();
}
