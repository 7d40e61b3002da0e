#pragma once

#include <QTest>

// Waits, processing events, until the condition holds (at most 20 s), and fails the test
// otherwise. Polls every few milliseconds, where QTRY_* sleeps in steps of 50 ms.
#define WAIT_FOR(condition)                                                                        \
    QVERIFY2(QTest::qWaitFor([&]() { return bool(condition); }, 20000), #condition)
