#pragma once
// A loopback TCP relay that holds every chunk of data for half the added round-trip time in
// each direction, as a LAN between the program and its database server would. Data already
// on its way is not held up by later data: each direction keeps its chunks in a queue with
// the moment they may go on, so throughput stays that of the loopback.

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace parvela::bench {

class TLatencyProxy {
public:
    // Listens on a free loopback port and relays every connection to the target port.
    TLatencyProxy(int targetPort, std::chrono::microseconds roundTrip);
    ~TLatencyProxy();
    TLatencyProxy(const TLatencyProxy&) = delete;
    TLatencyProxy& operator=(const TLatencyProxy&) = delete;

    int Port() const { return port_; }

private:
    class TRelay;

    void Accept();

    int targetPort_;
    std::chrono::microseconds oneWay_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    std::mutex relaysMutex_;
    std::vector<std::unique_ptr<TRelay>> relays_;
};

} // namespace parvela::bench
