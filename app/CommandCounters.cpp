#include "app/CommandCounters.h"

#include <atomic>

namespace {
std::atomic<int> g_counts[static_cast<int>(MainCommand::kCount)];
}

void CountCommand(MainCommand command) { ++g_counts[static_cast<int>(command)]; }

int CommandCount(MainCommand command) { return g_counts[static_cast<int>(command)].load(); }
