#pragma once

// A TCP relay between the program and the test server that fails as a network or a server
// would, at one statement chosen by the test: it answers the statement with an error instead
// of passing it on, or passes it on and ends the connection before the answer comes back.
// Everything else goes through unchanged.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace testdb {

class Relay {
public:
    explicit Relay(unsigned serverPort);
    ~Relay();
    Relay(const Relay&) = delete;
    Relay& operator=(const Relay&) = delete;

    unsigned port() const { return port_; }

    // The next statement whose text begins with `text` (letter case ignored) is answered
    // with an error of this message, and the server never sees it.
    void refuse(const std::string& text, const std::string& message);
    // The next statement whose text begins with `text` reaches the server, which runs it;
    // then the connection ends before its answer reaches the program.
    void loseAnswer(const std::string& text);
    // The next statement whose text begins with `text` reaches the server, which runs it;
    // before its answer reaches the program, `meanwhile` runs (on the relay's own thread).
    void holdAnswer(const std::string& text, std::function<void()> meanwhile);
    // How many statements a rule has hit so far.
    int hits() const { return hits_; }

private:
    void run();

    unsigned serverPort_;
    unsigned port_ = 0;
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<int> hits_{0};
    std::mutex mutex_;
    std::string refuse_, message_, lose_, hold_;
    std::function<void()> meanwhile_;
    std::thread thread_;
};

} // namespace testdb
