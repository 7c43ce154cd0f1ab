// props_dll.cpp: what the plug-in library exports: the one factory the client
// looks up by name.
#include "demo_plugin.h"

extern "C" __declspec(dllexport) mj::platform::PropsPlugin* mjCreatePropsPlugin(int interfaceVersion) {
    if (interfaceVersion != mj::platform::PropsPluginInterfaceVersion) return nullptr;
    return new mj::props_demo::DemoPlugin();
}
