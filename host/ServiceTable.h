// The host's service table handed to the module. The services are plain __stdcall functions
// without a context argument, so they reach the one host through a binding that lives while
// the module may call them.
#pragma once

#include "plugin/farapi/FARIntf.h"

namespace farhost {

class Host;

/// Routes the services to `host` while it lives; the host bound before it gets them back
/// afterwards.
class ServiceBinding {
public:
    explicit ServiceBinding(Host &host);
    ~ServiceBinding();
    ServiceBinding(const ServiceBinding &) = delete;
    ServiceBinding &operator=(const ServiceBinding &) = delete;

private:
    Host *previous_;
};

/// Fills the services of a PluginStartupInfo; services the module never calls stay null.
void FillServices(PluginStartupInfo &info);

}  // namespace farhost
