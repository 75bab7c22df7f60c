// Carries the sequencer's end-of-play notice from the timer thread to the user-interface
// thread: notify() only writes to an eventfd (no allocation, no lock); a QSocketNotifier on
// the UI thread reads it and calls the handler.
//
// Construct, destroy and receive on the UI thread; notify() from any thread while the
// object lives.
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace corvex {

class EndNotice : public QObject {
public:
    explicit EndNotice(std::function<void()> handler, QObject* parent = nullptr);
    ~EndNotice() override;

    // Sequencer::EndNotifier: `user` is the EndNotice.
    static void notify(void* user);

private:
    void receive();

    int fd_ = -1;
    std::function<void()> handler_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace corvex
