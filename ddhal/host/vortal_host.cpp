#include "ddhal/host/vortal_host.h"

#include <atomic>

namespace {
std::atomic<const VortalHostServices*> gServices{nullptr};
}

extern "C" void vortalInstallHost(const VortalHostServices* services) { gServices.store(services); }

extern "C" const VortalHostServices* vortalHost() { return gServices.load(); }
