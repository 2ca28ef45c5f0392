#include "platform/sound/OutputVolume.h"

namespace platform {

std::shared_ptr<OutputVolume::Watcher> OutputVolume::watch(Watcher watcher) {
    auto handle = std::make_shared<Watcher>(std::move(watcher));
    std::erase_if(m_watchers, [](const std::weak_ptr<Watcher>& w) { return w.expired(); });
    m_watchers.push_back(handle);
    return handle;
}

void OutputVolume::report_change() {
    // A copy: a watcher may add or drop watchers.
    std::vector<std::weak_ptr<Watcher>> watchers = m_watchers;
    for (const std::weak_ptr<Watcher>& w : watchers)
        if (std::shared_ptr<Watcher> watcher = w.lock())
            (*watcher)();
}

} // namespace platform
