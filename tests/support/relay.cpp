#include "tests/support/relay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <vector>

namespace testdb {

namespace {

struct Pair {
    int client;
    int server;
    std::string fromClient; // bytes of a packet not yet complete
};

bool sendAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool startsWith(const std::string& text, const std::string& start)
{
    if (start.empty() || text.size() < start.size())
        return false;
    return std::equal(start.begin(), start.end(), text.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

// An error packet of the client protocol, as the server sends it.
std::string errorPacket(unsigned char sequence, const std::string& message)
{
    std::string payload = "\xFF";
    payload += static_cast<char>(1105 & 0xFF); // ER_UNKNOWN_ERROR
    payload += static_cast<char>(1105 >> 8);
    payload += "#HY000" + message;
    std::string packet;
    packet += static_cast<char>(payload.size() & 0xFF);
    packet += static_cast<char>((payload.size() >> 8) & 0xFF);
    packet += static_cast<char>((payload.size() >> 16) & 0xFF);
    packet += static_cast<char>(sequence);
    return packet + payload;
}

} // namespace

Relay::Relay(unsigned serverPort) : serverPort_(serverPort)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("relay: no listening socket");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

Relay::~Relay()
{
    stop_ = true;
    thread_.join();
    ::close(listener_);
}

void Relay::refuse(const std::string& text, const std::string& message)
{
    std::lock_guard<std::mutex> lock(mutex_);
    refuse_ = text;
    message_ = message;
}

void Relay::loseAnswer(const std::string& text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    lose_ = text;
}

void Relay::holdAnswer(const std::string& text, std::function<void()> meanwhile)
{
    std::lock_guard<std::mutex> lock(mutex_);
    hold_ = text;
    meanwhile_ = std::move(meanwhile);
}

void Relay::run()
{
    std::vector<Pair> pairs;
    const auto end = [](Pair& p) {
        ::close(p.client);
        ::close(p.server);
        p.client = p.server = -1;
    };
    while (!stop_) {
        std::vector<pollfd> fds{{listener_, POLLIN, 0}};
        for (const Pair& p : pairs) {
            fds.push_back({p.client, POLLIN, 0});
            fds.push_back({p.server, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), 50) <= 0)
            continue;
        const std::size_t polled = pairs.size();
        if (fds[0].revents & POLLIN) {
            const int client = ::accept(listener_, nullptr, nullptr);
            const int server = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(static_cast<uint16_t>(serverPort_));
            if (client >= 0 && server >= 0 &&
                ::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
                pairs.push_back({client, server, {}});
            } else {
                ::close(client);
                ::close(server);
            }
        }
        for (std::size_t i = 0; i < polled; ++i) {
            Pair& p = pairs[i];
            if (p.client < 0)
                continue;
            char buffer[65536];
            if (fds[2 + 2 * i].revents) {
                const ssize_t n = ::recv(p.server, buffer, sizeof buffer, 0);
                if (n <= 0 || !sendAll(p.client, buffer, static_cast<std::size_t>(n))) {
                    end(p);
                    continue;
                }
            }
            if (!fds[1 + 2 * i].revents)
                continue;
            const ssize_t n = ::recv(p.client, buffer, sizeof buffer, 0);
            if (n <= 0) {
                end(p);
                continue;
            }
            p.fromClient.append(buffer, static_cast<std::size_t>(n));
            // Whole packets only: a three-byte length and a sequence number, then the payload.
            while (p.client >= 0 && p.fromClient.size() >= 4) {
                const auto byte = [&](std::size_t at) {
                    return static_cast<unsigned char>(p.fromClient[at]);
                };
                const std::size_t length = byte(0) | byte(1) << 8 | byte(2) << 16;
                if (p.fromClient.size() < 4 + length)
                    break;
                const std::string packet = p.fromClient.substr(0, 4 + length);
                p.fromClient.erase(0, 4 + length);
                // A statement: the first packet of a command, of the kind COM_QUERY.
                std::string text;
                if (packet[3] == '\0' && length > 0 && packet[4] == '\x03')
                    text = packet.substr(5);
                std::unique_lock<std::mutex> lock(mutex_);
                if (startsWith(text, refuse_)) {
                    const std::string answer = errorPacket(1, message_);
                    refuse_.clear();
                    lock.unlock();
                    ++hits_;
                    sendAll(p.client, answer.data(), answer.size());
                    continue;
                }
                const bool lose = startsWith(text, lose_);
                if (lose)
                    lose_.clear();
                std::function<void()> meanwhile;
                if (startsWith(text, hold_)) {
                    hold_.clear();
                    meanwhile = std::move(meanwhile_);
                    meanwhile_ = nullptr;
                }
                lock.unlock();
                if (!sendAll(p.server, packet.data(), packet.size())) {
                    end(p);
                    break;
                }
                if (!lose && !meanwhile)
                    continue;
                ++hits_;
                // The server has answered once its answer arrives, so it has run the statement.
                pollfd answer{p.server, POLLIN, 0};
                ::poll(&answer, 1, 10000);
                if (lose) {
                    end(p);
                    break;
                }
                const ssize_t got = ::recv(p.server, buffer, sizeof buffer, 0);
                meanwhile();
                if (got <= 0 || !sendAll(p.client, buffer, static_cast<std::size_t>(got))) {
                    end(p);
                    break;
                }
            }
        }
        pairs.erase(
            std::remove_if(pairs.begin(), pairs.end(), [](const Pair& p) { return p.client < 0; }),
            pairs.end());
    }
    for (Pair& p : pairs)
        end(p);
}

} // namespace testdb
