// Failures armed by tests; each fires on the next matching calls inside the layer.
#include <mutex>
#include <unordered_map>

#include "platform/host/Host.h"

namespace {
std::mutex g_faultLock;
std::unordered_map<int, int> g_faults;   // fault -> remaining count
}

void HostArmFault(HostFault fault, int count)
{
    std::lock_guard<std::mutex> lock(g_faultLock);
    if (count > 0) g_faults[static_cast<int>(fault)] = count;
    else g_faults.erase(static_cast<int>(fault));
}

void HostDisarmAllFaults()
{
    std::lock_guard<std::mutex> lock(g_faultLock);
    g_faults.clear();
}

bool HostTakeFault(HostFault fault)
{
    std::lock_guard<std::mutex> lock(g_faultLock);
    auto it = g_faults.find(static_cast<int>(fault));
    if (it == g_faults.end()) return false;
    if (--it->second <= 0) g_faults.erase(it);
    return true;
}
