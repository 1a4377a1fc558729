#pragma once

#include <QEventLoop>
#include <QTimer>

#include <functional>

// Runs the event loop until `done` holds or `timeoutMs` has passed, looking every
// `pollMs`; returns whether it holds. QTRY_* sleeps 10 ms between its looks, which would
// slow a 2 ms protocol timer to a crawl, so code that waits on the link uses this.
inline bool runUntil(const std::function<bool()> &done, int timeoutMs, int pollMs = 2)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(pollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return done();
}
