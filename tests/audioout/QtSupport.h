#pragma once
// The Qt event loop the tests need for posted notifications.
#include <QCoreApplication>
#include <QDeadlineTimer>

#include <chrono>
#include <thread>

namespace orv::test {

inline QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "test_audioout";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Delivers everything posted so far, and what that posts in turn.
inline void Deliver()
{
    for (int i = 0; i < 8; ++i)
        QCoreApplication::sendPostedEvents();
}

// Runs the event loop until pred holds; false if the deadline passes first.
template <class Pred>
bool WaitFor(Pred pred, int deadlineMs = 5000)
{
    const QDeadlineTimer deadline(deadlineMs);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace orv::test
