#pragma once
// Idle processing: runs the idle handler whenever no event waits, again at once while it asks for
// more, and not at all while a modal dialog or a menu runs its own loop. The count handed to the
// handler starts over at 0 after each input event, as the framework's idle count does.

#include <QObject>
#include <QTimer>
#include <functional>

#include "platform/os/WinTypes.h"

class IdleLoop : public QObject {
public:
    // `handler` gets the idle count and returns TRUE to be called again.
    explicit IdleLoop(std::function<BOOL(LONG)> handler);
    ~IdleLoop() override;

    void Start();
    void Stop();
    bool IsRunning() const { return running_; }
    // True while a modal dialog or a popup menu is up.
    static bool IsSuspended();
    // Runs one idle pass now, as the loop would; FALSE when suspended or stopped.
    bool RunPass();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTimeout();
    void Wake();

    std::function<BOOL(LONG)> handler_;
    QTimer timer_;
    LONG count_ = 0;
    bool running_ = false;
    bool inPass_ = false;
    bool waitingForModal_ = false;
};
