#pragma once

#include <functional>

// Processes events (posted events, deferred deletes, timers that are due and
// the global thread pool's work) until the application is idle, or until the
// condition holds. Returns false when the time ran out first.
namespace Idle {
bool settle(int timeoutMs = 5000);
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 5000);
}
