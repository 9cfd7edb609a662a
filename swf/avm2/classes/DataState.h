// What the data classes keep per machine: class aliases for AMF, running
// timers and shared objects. Held by the machine as a root.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "swf/avm2/Heap.h"
#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

class DataStateObject : public Object {
public:
    DataStateObject() : Object(ObjKind::Plain, nullptr, nullptr) {}
    std::map<std::string, ClassObject*> classByAlias;
    std::map<ClassObject*, std::string> aliasOfClass;
    std::map<std::string, Value> sharedObjects;
    std::map<ClassObject*, Value> singletons;  // ApplicationDomain.currentDomain...

    // Timers and setTimeout/setInterval calls waiting on the movie's clock.
    struct Pending {
        Value target;  // a Timer, or the function to call
        std::vector<Value> args;
        double due = 0, interval = 0;
        uint32_t id = 0;  // setTimeout/setInterval's; 0 for a Timer
        bool repeat = false;
    };
    std::vector<Pending> pending;
    uint32_t lastId = 0;
    uint32_t defaultEncoding = 3;  // ByteArray.defaultObjectEncoding
    Method* shaderSetByteCode = nullptr;  // ShaderData's private reader, owned by the machine
    double clock = 0;  // ms of movie time since the first frame
    uint64_t frames = 0;

    void Trace(Tracer& t) override {
        Object::Trace(t);
        for (auto& [k, c] : classByAlias) t.Mark(c);
        for (auto& [k, v] : sharedObjects) t.Mark(v);
        for (auto& [k, v] : singletons) t.Mark(v);
        for (const Pending& p : pending) {
            t.Mark(p.target);
            for (const Value& v : p.args) t.Mark(v);
        }
    }
};

DataStateObject& DataState(Machine& m);

// The length argument of an empty vector.
inline const Value kNoItems = Value::Int(0);

// obj[i] as a name: arrays and vectors take it as an index.
inline Name IndexName(Machine& m, uint32_t i) {
    Name n = m.PublicName(m.Intern(std::to_string(i)));
    n.hasKey = true;
    n.key = Value::Uint(i);
    return n;
}

// A property name as text, an index when it reads as one.
inline Name KeyName(Machine& m, const std::string& k) {
    bool digits = !k.empty() && k.size() <= 10 && (k == "0" || k[0] != '0');
    for (char c : k) digits = digits && c >= '0' && c <= '9';
    if (digits && std::stoull(k) < 0xFFFFFFFFull) return IndexName(m, uint32_t(std::stoull(k)));
    return m.PublicName(k);
}

}  // namespace swf::avm2
