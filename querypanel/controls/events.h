#pragma once

#include <utility>

namespace controls {

// Runs an assigned event handler from a copy of it: a handler that frees its sender, and with it the
// event member, still runs to its end.
template <typename Event, typename... Args>
void Fire(const Event& event, Args&&... args)
{
    if (!event)
        return;
    Event handler = event;
    handler(std::forward<Args>(args)...);
}

}  // namespace controls
