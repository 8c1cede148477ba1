#include "app/portmapper.h"

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>

#include <QMetaObject>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace vorn {

namespace {
constexpr const char* kDescription = "Vorn";
constexpr const char* kProtocol = "TCP";
// No end to the lease: the mapping lasts until it is taken back.
constexpr const char* kLease = "0";

// The router a mapping was made on, kept to take it back.
struct Gateway {
    std::string controlUrl;
    std::string serviceType;
    int port = 0;
};

void TakeBack(Gateway& gateway) {
    if (gateway.port == 0) return;
    const std::string port = std::to_string(gateway.port);
    UPNP_DeletePortMapping(gateway.controlUrl.c_str(), gateway.serviceType.c_str(), port.c_str(), kProtocol,
                           nullptr);
    gateway = Gateway{};
}

// Finds the router and asks it to forward `port`; blocks for up to a few
// seconds. A mapping made is left in `made`.
PortMapping AskRouter(int port, Gateway& made) {
    PortMapping m;
    m.port = port;
    int error = 0;
    // Asked for every kind at once and waited for once: one kind after the
    // other would wait kAnswerMs for each.
    static const char* const kinds[] = {"urn:schemas-upnp-org:device:InternetGatewayDevice:1",
                                        "urn:schemas-upnp-org:device:InternetGatewayDevice:2",
                                        "urn:schemas-upnp-org:service:WANIPConnection:1",
                                        "urn:schemas-upnp-org:service:WANPPPConnection:1", nullptr};
    UPNPDev* devices = upnpDiscoverDevices(kinds, PortMapper::kAnswerMs, nullptr, nullptr,
                                           UPNP_LOCAL_PORT_ANY, 0, 2, &error, 1);
    if (!devices) return m;
    UPNPUrls urls{};
    IGDdatas data{};
    char lan[64] = {};
    const int found = UPNP_GetValidIGD(devices, &urls, &data, lan, sizeof lan);
    freeUPNPDevlist(devices);
    // 1 is a connected gateway; 2 one that calls itself unconnected, which
    // some routers do while forwarding all the same. Anything else is no gateway.
    if (found != 1 && found != 2) {
        FreeUPNPUrls(&urls);
        return m;
    }
    const Gateway gateway{urls.controlURL, data.first.servicetype, port};
    FreeUPNPUrls(&urls);
    m.outcome = PortMapping::Outcome::Refused;
    m.internalAddress = QString::fromLatin1(lan);
    const std::string text = std::to_string(port);
    m.error = UPNP_AddPortMapping(gateway.controlUrl.c_str(), gateway.serviceType.c_str(), text.c_str(),
                                  text.c_str(), lan, kDescription, kProtocol, nullptr, kLease);
    if (m.error != 0) return m;
    made = gateway;
    char external[64] = {};
    m.error = UPNP_GetExternalIPAddress(gateway.controlUrl.c_str(), gateway.serviceType.c_str(), external);
    // A mapping whose address nobody can be told is no use.
    if (m.error != 0 || external[0] == '\0') {
        if (m.error == 0) m.error = UPNPCOMMAND_INVALID_RESPONSE;
        TakeBack(made);
        return m;
    }
    m.outcome = PortMapping::Outcome::Mapped;
    m.externalAddress = QString::fromLatin1(external);
    return m;
}
}  // namespace

// The thread that talks to the router, and its queue of calls. The thread
// holds the worker too, so a call still under way when the mapper is gone
// ends on its own.
struct PortMapper::Worker {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> jobs;
    bool busy = false;
    bool stopping = false;
    // Raised by each Close: an answer to an earlier Open is stale.
    int generation = 0;
    PortMapper* owner = nullptr;
    std::thread thread;
    // Touched only on the thread.
    Gateway made;

    void Run() {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || !jobs.empty(); });
            if (jobs.empty()) return;
            std::function<void()> job = std::move(jobs.front());
            jobs.pop_front();
            busy = true;
            lock.unlock();
            job();
            lock.lock();
            busy = false;
            changed.notify_all();
        }
    }
    void Post(std::function<void()> job) {
        {
            const std::lock_guard lock(mutex);
            jobs.push_back(std::move(job));
        }
        changed.notify_all();
    }
    bool WaitIdle(int ms) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(ms),
                                [this] { return jobs.empty() && !busy; });
    }
};

PortMapper::PortMapper(QObject* parent) : QObject(parent), worker_(std::make_shared<Worker>()) {
    worker_->owner = this;
}

PortMapper::~PortMapper() {
    if (!worker_->thread.joinable()) return;
    const bool idle = CloseAndWait(kCloseWaitMs);
    {
        const std::lock_guard lock(worker_->mutex);
        worker_->owner = nullptr;
        worker_->stopping = true;
    }
    worker_->changed.notify_all();
    // A router that has not answered by now is left to the thread, which
    // ends by itself (or with the program).
    if (idle)
        worker_->thread.join();
    else
        worker_->thread.detach();
}

void PortMapper::Open(int port) {
    Worker& w = *worker_;
    if (!w.thread.joinable()) w.thread = std::thread([worker = worker_] { worker->Run(); });
    int generation = 0;
    {
        const std::lock_guard lock(w.mutex);
        generation = w.generation;
    }
    w.Post([&w, port, generation] {
        TakeBack(w.made);
        const PortMapping mapping = AskRouter(port, w.made);
        const std::lock_guard lock(w.mutex);
        // Closed meanwhile: the Close queued behind this takes the mapping back.
        if (w.generation != generation || !w.owner) return;
        PortMapper* owner = w.owner;
        QMetaObject::invokeMethod(
            owner, [owner, mapping] { emit owner->Opened(mapping); }, Qt::QueuedConnection);
    });
}

void PortMapper::Close() {
    Worker& w = *worker_;
    if (!w.thread.joinable()) return;
    {
        const std::lock_guard lock(w.mutex);
        ++w.generation;
    }
    w.Post([&w] { TakeBack(w.made); });
}

bool PortMapper::CloseAndWait(int ms) {
    Close();
    return !worker_->thread.joinable() || worker_->WaitIdle(ms);
}

}  // namespace vorn
