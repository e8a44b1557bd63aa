#include "orrery/orrery.h"

#include "orrery/session.h"

extern "C" __attribute__((visibility("default"))) intptr_t OrreryEntry(intptr_t request, intptr_t a1, intptr_t a2,
                                                                       intptr_t a3, intptr_t a4) {
    return orrery::Session::instance().handle(request, a1, a2, a3, a4);
}
