// Helpers of the config tests: a platform that changes only what a test needs and a host whose
// services are plain functions.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "support/ForwardingPlatform.h"

namespace configtest {

/// Forwards every operation to the real system; tests override the few they must control.
using DelegatingPlatform = support::ForwardingPlatform;

/// A platform whose current directory is fixed, so that path results can be spelled out.
class FixedDirectoryPlatform : public DelegatingPlatform {
public:
    explicit FixedDirectoryPlatform(std::string directory) : directory_(std::move(directory)) {}
    std::string CurrentDirectory() override { return directory_; }

private:
    std::string directory_;
};

/// Installs a host for the lifetime of the object: a module name, message texts and a menu
/// that records what it was shown and answers `menuAnswer`.
class FakeHost {
public:
    /// A menu record as the host received it.
    struct ShownItem {
        std::string text;  // up to the terminator, which must lie inside the record
        int selected, checked, separator;
    };
    struct ShownMenu {
        std::intptr_t pluginNumber;
        int x, y, maxHeight;
        std::uint32_t flags;
        std::string title;
        bool hasBottom;
        std::string helpTopic;
        bool hasBreakKeys;
        std::vector<ShownItem> items;
    };

    explicit FakeHost(std::string moduleName = "");
    ~FakeHost();
    FakeHost(const FakeHost &) = delete;
    FakeHost &operator=(const FakeHost &) = delete;

    std::vector<std::string> messages{"Ok", "Cancel", "Kilnrun", "Error", "Show output", "No output"};
    int menuAnswer = -1;
    std::vector<ShownMenu> menus;
};

}  // namespace configtest
