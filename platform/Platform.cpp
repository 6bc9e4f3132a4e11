// The platform in force, and the hook that lets tests put a fake in its place.
#include "platform/Platform.h"

namespace platform {

namespace {
Platform *installed = nullptr;
}  // namespace

Platform &Current() { return installed != nullptr ? *installed : System(); }

ScopedPlatform::ScopedPlatform(Platform &replacement) : previous_(installed) {
    installed = &replacement;
}

ScopedPlatform::~ScopedPlatform() { installed = previous_; }

}  // namespace platform
