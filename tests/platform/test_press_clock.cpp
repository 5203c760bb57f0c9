// Dating a key press by the platform's stamp: our own clock in milliseconds (as an X server or
// a compositor on this machine stamps), another clock related by the smallest lag seen, and
// stamps that cannot be mapped.

#include "platform/press_clock.h"

#include <QList>
#include <QTest>

namespace {

constexpr qint64 kMs = 1'000'000;
// Steady time of the events: some hours after boot, in milliseconds, and past 2^32 ms (49.7
// days) where X cuts its stamps.
constexpr qint64 kUptimeMs = 9'876'543;
constexpr qint64 kLongUptimeMs = (qint64(1) << 32) + 5'000;
// Another clock's stamps (a remote X server's own uptime): ahead of ours, by any amount.
constexpr qint64 kOtherClockMs = 50'000'000;

} // namespace

class TestPressClock : public QObject {
    Q_OBJECT

private slots:
    void eventsAreDatedBack_data();
    void eventsAreDatedBack();
};

void TestPressClock::eventsAreDatedBack_data() {
    // One row is a run of events, each stamped by the platform and handled at a moment on the
    // steady clock (0.7 ms into the millisecond given), and the millisecond each is expected
    // to be dated in.
    QTest::addColumn<QList<qint64>>("stamps");
    QTest::addColumn<QList<qint64>>("handled");
    QTest::addColumn<QList<qint64>>("dated");

    const qint64 u = kUptimeMs;
    const qint64 b = kOtherClockMs;
    QTest::newRow("own clock, handled at once")
        << QList<qint64>{u} << QList<qint64>{u} << QList<qint64>{u};
    QTest::newRow("own clock, handled 180 ms late")
        << QList<qint64>{u - 180} << QList<qint64>{u} << QList<qint64>{u - 180};
    QTest::newRow("own clock cut to 32 bits, handled 40 ms late")
        << QList<qint64>{kLongUptimeMs - 40 - (qint64(1) << 32)} << QList<qint64>{kLongUptimeMs}
        << QList<qint64>{kLongUptimeMs - 40};
    // Another clock: the first event is taken as handled at once, later ones are dated back
    // by as much as they waited beyond the smallest lag seen.
    QTest::newRow("another clock, a late event dated back")
        << QList<qint64>{b, b + 1000, b + 2000} << QList<qint64>{u, u + 1000, u + 2250}
        << QList<qint64>{u, u + 1000, u + 2000};
    QTest::newRow("another clock, a quicker event sets the lag")
        << QList<qint64>{b, b + 1000, b + 2000} << QList<qint64>{u + 30, u + 1010, u + 2200}
        << QList<qint64>{u + 30, u + 1010, u + 2010};
    QTest::newRow("another clock set back an hour: dated at handling")
        << QList<qint64>{b, b + 1000, b + 6000 - 3'600'000} << QList<qint64>{u, u + 1000, u + 6000}
        << QList<qint64>{u, u + 1000, u + 6000};
    // Nothing to map.
    QTest::newRow("no stamp") << QList<qint64>{0} << QList<qint64>{u} << QList<qint64>{u};
    QTest::newRow("own clock, but 10 s late: taken as another clock's first event")
        << QList<qint64>{u - 10'000} << QList<qint64>{u} << QList<qint64>{u};
}

void TestPressClock::eventsAreDatedBack() {
    QFETCH(QList<qint64>, stamps);
    QFETCH(QList<qint64>, handled);
    QFETCH(QList<qint64>, dated);

    PressClock clock;
    for (qsizetype i = 0; i < stamps.size(); ++i) {
        const qint64 handledNs = handled[i] * kMs + 700'000;
        const qint64 got = clock.SteadyNsOf(quint64(stamps[i]), handledNs);
        QVERIFY2(got <= handledNs,
                 qPrintable(QStringLiteral("event %1 dated after it was handled").arg(i)));
        QCOMPARE(got / kMs, dated[i]);
    }
}

QTEST_GUILESS_MAIN(TestPressClock)
#include "test_press_clock.moc"
