// The installers of the data classes: flash.geom, ByteArray, JSON,
// timers, flash.net's plain classes and flash.system.
#include "swf/avm2/classes/ByteArray.h"
#include "swf/avm2/classes/DataState.h"
#include "swf/avm2/classes/Geom.h"
#include "swf/avm2/classes/Timers.h"

namespace swf::avm2 {

void InstallJson(Machine& m);
void InstallTimers(Machine& m);
void InstallNet(Machine& m);
void InstallSystem(Machine& m);
void InstallUriFunctions(Machine& m);
void InstallLoaders(Machine& m);
void InstallStage3D(Machine& m);
void InstallConstantClasses(Machine& m);
void InstallGraphicsData(Machine& m);
void InstallContextMenus(Machine& m);
void InstallUiClasses(Machine& m);

DataStateObject& DataState(Machine& m) {
    if (!m.dataState) m.dataState = m.New<DataStateObject>();
    return *static_cast<DataStateObject*>(m.dataState);
}

// JSON came with version 13 movies; older ones do not see it.
void ApplySwfVersion(Machine& m) {
    auto hide = [&](const char* name, int since) {
        auto it = m.definitions.find(m.Intern(name));
        if (m.swfVersion < since && it != m.definitions.end()) it->second.clear();
    };
    hide("JSON", 13);
    hide("DRMManagerError", 10);
}

void InstallDataClasses(Machine& m) {
    InstallGeom(m);
    InstallByteArray(m);
    InstallJson(m);
    InstallTimers(m);
    InstallNet(m);
    InstallSystem(m);
    InstallUriFunctions(m);
    InstallLoaders(m);
    InstallStage3D(m);
    InstallConstantClasses(m);
    InstallGraphicsData(m);
    InstallContextMenus(m);
    InstallUiClasses(m);
}

}  // namespace swf::avm2
