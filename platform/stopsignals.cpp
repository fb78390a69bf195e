#include "platform/stopsignals.h"

#include <QSocketNotifier>
#include <array>
#include <csignal>

#ifdef _WIN32
#include <QMetaObject>
#include <QPointer>
#include <QSemaphore>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace kestrune {

namespace {

#ifdef _WIN32

QPointer<StopSignals> instance;
QSemaphore stopHandled;

// Runs on a thread of its own that the console starts.
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    int signalNumber = SIGINT;
    bool closing = false;
    switch (event) {
    case CTRL_C_EVENT:
        break;
    case CTRL_BREAK_EVENT:
        signalNumber = SIGBREAK;
        break;
    case CTRL_CLOSE_EVENT:
        signalNumber = 1; // as a hang-up
        closing = true;
        break;
    default:
        signalNumber = SIGTERM;
        closing = true;
        break;
    }
    StopSignals *target = instance.data();
    if (!target)
        return FALSE;
    QMetaObject::invokeMethod(
        target, [target, signalNumber] { emit target->stopRequested(signalNumber); },
        Qt::QueuedConnection);
    // The process ends when this returns: give the stop path its time.
    if (closing)
        stopHandled.tryAcquire(1, 4000);
    return TRUE;
}

#else

// The handler may only write(); the notifier reads on the event loop.
std::array<int, 2> wakeUp{-1, -1};
constexpr std::array<int, 3> Handled{SIGINT, SIGTERM, SIGHUP};

void OnSignal(int signalNumber)
{
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const auto ignored = ::write(wakeUp[1], &byte, 1);
    errno = saved;
}

#endif

} // namespace

StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
#ifdef _WIN32
    instance = this;
    SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
#else
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeUp.data()) != 0)
        return;
    ::fcntl(wakeUp[1], F_SETFL, O_NONBLOCK);
    notifier_ = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StopSignals::OnWakeUp);
    struct sigaction action
    {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : Handled)
        ::sigaction(signalNumber, &action, nullptr);
#endif
}

StopSignals::~StopSignals()
{
#ifdef _WIN32
    SetConsoleCtrlHandler(&OnConsoleEvent, FALSE);
    instance = nullptr;
#else
    if (!notifier_)
        return;
    for (const int signalNumber : Handled)
        std::signal(signalNumber, SIG_DFL);
    ::close(wakeUp[0]);
    ::close(wakeUp[1]);
    wakeUp = {-1, -1};
#endif
}

void StopSignals::StopHandled()
{
#ifdef _WIN32
    stopHandled.release();
#endif
}

void StopSignals::OnWakeUp()
{
#ifndef _WIN32
    unsigned char byte = 0;
    if (::read(wakeUp[0], &byte, 1) == 1)
        emit stopRequested(byte);
#endif
}

} // namespace kestrune
