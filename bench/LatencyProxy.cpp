#include "bench/LatencyProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <stdexcept>

namespace parvela::bench {

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error("latency proxy: " + what + ": " + std::strerror(errno));
}

void NoDelay(int socket) {
    const int on = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool WriteAll(int socket, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::send(socket, data, size, MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// One direction of a connection: a reader that stamps each chunk with the moment it may go
// on, and a writer that sends the chunks when their moment has come.
class TDirection {
public:
    TDirection(int from, int to, std::chrono::microseconds delay)
        : from_(from), to_(to), delay_(delay), reader_([this] { Read(); }),
          writer_([this] { Write(); }) {}
    ~TDirection() {
        reader_.join();
        writer_.join();
    }
    TDirection(const TDirection&) = delete;
    TDirection& operator=(const TDirection&) = delete;

private:
    struct TChunk {
        Clock::time_point due;
        std::string data; // empty: the sender closed its side
    };

    void Read() {
        char buffer[65536];
        for (;;) {
            const ssize_t received = ::recv(from_, buffer, sizeof buffer, 0);
            if (received < 0 && errno == EINTR)
                continue;
            const Clock::time_point due = Clock::now() + delay_;
            std::string data = received > 0
                                   ? std::string(buffer, static_cast<std::size_t>(received))
                                   : std::string();
            {
                std::lock_guard lock(mutex_);
                queue_.push_back({due, std::move(data)});
            }
            ready_.notify_one();
            if (received <= 0)
                return;
        }
    }

    void Write() {
        for (;;) {
            TChunk chunk;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [this] { return !queue_.empty(); });
                chunk = std::move(queue_.front());
                queue_.pop_front();
            }
            std::this_thread::sleep_until(chunk.due);
            if (chunk.data.empty() || !WriteAll(to_, chunk.data.data(), chunk.data.size())) {
                ::shutdown(to_, SHUT_WR);
                ::shutdown(from_, SHUT_RD);
                return;
            }
        }
    }

    int from_;
    int to_;
    std::chrono::microseconds delay_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<TChunk> queue_;
    std::thread reader_;
    std::thread writer_;
};

} // namespace

// A client connection and its connection to the target, relayed both ways; owns both sockets.
class TLatencyProxy::TRelay {
public:
    TRelay(int client, int server, std::chrono::microseconds oneWay)
        : client_(client), server_(server),
          up_(std::make_unique<TDirection>(client, server, oneWay)),
          down_(std::make_unique<TDirection>(server, client, oneWay)) {}
    ~TRelay() {
        // The reads return once the sockets are shut down; then the threads end.
        ::shutdown(client_, SHUT_RDWR);
        ::shutdown(server_, SHUT_RDWR);
        up_.reset();
        down_.reset();
        ::close(client_);
        ::close(server_);
    }
    TRelay(const TRelay&) = delete;
    TRelay& operator=(const TRelay&) = delete;

private:
    int client_;
    int server_;
    std::unique_ptr<TDirection> up_;
    std::unique_ptr<TDirection> down_;
};

TLatencyProxy::TLatencyProxy(int targetPort, std::chrono::microseconds roundTrip)
    : targetPort_(targetPort), oneWay_(roundTrip / 2) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0)
        Fail("socket");
    const int on = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = Loopback(0);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0)
        Fail("bind");
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { Accept(); });
}

TLatencyProxy::~TLatencyProxy() {
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    acceptor_.join();
    ::close(listener_);
    std::lock_guard lock(relaysMutex_);
    relays_.clear();
}

void TLatencyProxy::Accept() {
    while (!stopping_) {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        const int server = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in target = Loopback(targetPort_);
        if (server < 0 ||
            ::connect(server, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
            ::close(client);
            if (server >= 0)
                ::close(server);
            continue;
        }
        NoDelay(client);
        NoDelay(server);
        std::lock_guard lock(relaysMutex_);
        relays_.push_back(std::make_unique<TRelay>(client, server, oneWay_));
    }
}

} // namespace parvela::bench
