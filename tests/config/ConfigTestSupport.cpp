#include "config/ConfigTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "plugin/farapi/FARIntf.h"
#include "plugin/farapi/FARUtils.h"

namespace configtest {
namespace {

FakeHost *activeHost = nullptr;

const char *FARAPI FakeGetMsg(INT_PTR, int id) {
    if (activeHost == nullptr || id < 0 || static_cast<std::size_t>(id) >= activeHost->messages.size())
        return "";
    return activeHost->messages[static_cast<std::size_t>(id)].c_str();
}

int FARAPI FakeMenu(INT_PTR pluginNumber, int x, int y, int maxHeight, DWORD flags, const char *title,
                    const char *bottom, const char *helpTopic, const int *breakKeys, int *,
                    const FarMenuItem *items, int count) {
    FakeHost::ShownMenu shown{pluginNumber, x, y, maxHeight, flags, title != nullptr ? title : "",
                              bottom != nullptr, helpTopic != nullptr ? helpTopic : "",
                              breakKeys != nullptr, {}};
    for (int i = 0; i < count; ++i) {
        const FarMenuItem &item = items[i];
        std::size_t length = 0;
        while (length < sizeof(item.Text) && item.Text[length] != '\0') ++length;
        if (length == sizeof(item.Text)) ADD_FAILURE() << "menu item " << i << " has no terminator";
        shown.items.push_back({std::string(item.Text, length), item.Selected, item.Checked, item.Separator});
    }
    activeHost->menus.push_back(std::move(shown));
    return activeHost->menuAnswer;
}

}  // namespace

FakeHost::FakeHost(std::string moduleName) {
    PluginStartupInfo info{};
    info.StructSize = sizeof(info);
    if (moduleName.size() >= sizeof(info.ModuleName)) throw std::length_error("module name too long");
    moduleName.copy(info.ModuleName, moduleName.size());
    info.ModuleNumber = 42;
    info.GetMsg = FakeGetMsg;
    info.Menu = FakeMenu;
    activeHost = this;
    far::SetStartupInfo(&info);
}

FakeHost::~FakeHost() {
    far::ResetStartupInfo();
    activeHost = nullptr;
}

}  // namespace configtest
