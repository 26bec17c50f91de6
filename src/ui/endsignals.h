// The desktop ending the session: SIGTERM at a logout or a shutdown, SIGHUP
// when the session hangs up. Caught, they arrive on the event loop as a
// signal of their own, so that the game can still write its register line.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace mirabolo::ui {

class EndSignals : public QObject
{
    Q_OBJECT

public:
    // One per program: the handlers it installs stay until it is destroyed.
    explicit EndSignals(QObject *parent = nullptr);
    ~EndSignals() override;
    EndSignals(const EndSignals &) = delete;
    EndSignals &operator=(const EndSignals &) = delete;

Q_SIGNALS:
    void received();

private:
    void drain();

    QSocketNotifier *notifier = nullptr;
};

} // namespace mirabolo::ui
