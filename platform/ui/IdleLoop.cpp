#include "platform/ui/IdleLoop.h"

#include <QApplication>
#include <QEvent>

namespace {

// Events after which the framework starts its idle count over: input and window changes, not
// paints or timers.
bool RestartsIdleCount(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

IdleLoop::IdleLoop(std::function<BOOL(LONG)> handler) : handler_(std::move(handler)) {
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &IdleLoop::OnTimeout);
    if (qApp)
        qApp->installEventFilter(this);
}

IdleLoop::~IdleLoop() {
    if (qApp)
        qApp->removeEventFilter(this);
}

void IdleLoop::Start() {
    running_ = true;
    count_ = 0;
    Wake();
}

void IdleLoop::Stop() {
    running_ = false;
    timer_.stop();
}

bool IdleLoop::IsSuspended() {
    return QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr;
}

void IdleLoop::Wake() {
    if (!running_ || timer_.isActive())
        return;
    if (IsSuspended()) {
        waitingForModal_ = true;
        return;
    }
    timer_.start();
}

bool IdleLoop::RunPass() {
    if (!running_ || inPass_ || IsSuspended())
        return false;
    inPass_ = true;
    const BOOL more = handler_(count_++);
    inPass_ = false;
    return more != FALSE;
}

void IdleLoop::OnTimeout() {
    // A modal loop stops the passes; the events that end it wake them again.
    if (IsSuspended()) {
        timer_.stop();
        waitingForModal_ = true;
        return;
    }
    if (!RunPass())
        timer_.stop();
}

bool IdleLoop::eventFilter(QObject* watched, QEvent* event) {
    if (RestartsIdleCount(event->type())) {
        count_ = 0;
        Wake();
    } else if (waitingForModal_ && !IsSuspended()) {
        waitingForModal_ = false;
        Wake();
    }
    return QObject::eventFilter(watched, event);
}
