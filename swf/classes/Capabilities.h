// System.capabilities: what a desktop player on Windows reports, as a table
// the script binding walks, and the serverString built from it.
#pragma once

#include <string>

namespace swf {

struct Capability {
    enum Kind { Bool, Number, String } kind;
    const char* name;       // the property scripts read
    const char* serverKey;  // its key in serverString
    bool flag;
    double number;
    const char* text;
};

// Ends with a null name.
extern const Capability kCapabilities[];
std::string CapabilitiesServerString();

// SharedObject.getLocal refuses names with these characters (and empty ones).
bool ValidSharedObjectName(const std::string& name);

}  // namespace swf
