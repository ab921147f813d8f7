#pragma once

#include <functional>
#include <memory>

class QObject;

// Hands work to the global thread pool and what the workers make back to the
// thread that owns the courier (the GUI thread), for as long as the courier
// lives: a function posted after its end, or still waiting at its end, never
// runs. post() may be called from any thread.
class WorkerCourier
{
public:
    WorkerCourier();
    ~WorkerCourier();
    WorkerCourier(const WorkerCourier &) = delete;
    WorkerCourier &operator=(const WorkerCourier &) = delete;

    // Where a worker posts to; it may outlive the courier.
    class Address
    {
    public:
        // Runs the function on the courier's thread from its event loop.
        void post(std::function<void()> function) const;

    private:
        friend class WorkerCourier;
        struct Link;
        std::shared_ptr<Link> link;
    };

    Address address() const { return m_address; }
    void post(std::function<void()> function) const { m_address.post(std::move(function)); }

    // Runs work on a worker, then done here, unless the courier has ended.
    void run(std::function<void()> work, std::function<void()> done) const;

private:
    std::unique_ptr<QObject> target;
    Address m_address;
};
