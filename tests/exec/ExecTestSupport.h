// Helpers shared by the tests of exec/: a platform that passes every call on to the real one
// (fakes override only what they change) and handle bookkeeping.
#pragma once

#include <optional>
#include <set>
#include <string>

#include "platform/Platform.h"
#include "support/ForwardingPlatform.h"

namespace exec_test {

/// Passes every call to the real system and keeps count of the handles it hands out; a test
/// overrides the calls it wants to steer.
class ForwardingPlatform : public support::ForwardingPlatform {
public:
    platform::NativeHandle OpenFileForRead(const std::string &path) override {
        return Opened(real().OpenFileForRead(path));
    }
    void CloseHandle(platform::NativeHandle handle) override {
        if (handle != platform::kNoHandle && open_.erase(handle) == 0) ++unknownCloses;
        real().CloseHandle(handle);
    }
    bool CreatePipe(platform::NativeHandle &readEnd, platform::NativeHandle &writeEnd) override {
        if (!real().CreatePipe(readEnd, writeEnd)) return false;
        Opened(readEnd);
        Opened(writeEnd);
        return true;
    }
    platform::NativeHandle DuplicateNonInheritable(platform::NativeHandle handle) override {
        return Opened(real().DuplicateNonInheritable(handle));
    }
    platform::NativeHandle StartVisibleProcess(const std::string &commandLine) override {
        return Opened(real().StartVisibleProcess(commandLine));
    }
    platform::NativeHandle StartCapturedProcess(const std::string &commandLine,
                                                platform::NativeHandle outputHandle) override {
        return Opened(real().StartCapturedProcess(commandLine, outputHandle));
    }

    /// Handles handed out through this platform and not closed yet.
    const std::set<platform::NativeHandle> &OpenHandles() const { return open_; }
    int unknownCloses = 0;

protected:
    /// Records a handle as open; kNoHandle passes through.
    platform::NativeHandle Opened(platform::NativeHandle handle) {
        if (handle != platform::kNoHandle) open_.insert(handle);
        return handle;
    }

private:
    std::set<platform::NativeHandle> open_;
};

/// The number of open descriptors of this process (POSIX), or nullopt where it can't be told.
std::optional<int> OpenDescriptorCount();

}  // namespace exec_test
