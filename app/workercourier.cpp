#include "workercourier.h"

#include <QObject>
#include <QThreadPool>

#include <mutex>
#include <utility>

struct WorkerCourier::Address::Link
{
    std::mutex mutex;
    QObject *target = nullptr;
};

void WorkerCourier::Address::post(std::function<void()> function) const
{
    std::lock_guard<std::mutex> lock(link->mutex);
    if (link->target)
        QMetaObject::invokeMethod(link->target, std::move(function), Qt::QueuedConnection);
}

WorkerCourier::WorkerCourier()
    : target(std::make_unique<QObject>())
{
    m_address.link = std::make_shared<Address::Link>();
    m_address.link->target = target.get();
}

WorkerCourier::~WorkerCourier()
{
    // Under the lock, so no worker is posting while the target goes; the
    // target's own end drops what was posted and has not run.
    std::lock_guard<std::mutex> lock(m_address.link->mutex);
    m_address.link->target = nullptr;
    target.reset();
}

void WorkerCourier::run(std::function<void()> work, std::function<void()> done) const
{
    const Address back = m_address;
    QThreadPool::globalInstance()->start([work = std::move(work), done = std::move(done), back]() mutable {
        work();
        back.post(std::move(done));
    });
}
