// flash.utils.Dictionary: a dynamic object whose keys are objects by
// identity. Primitive keys fold to their string, so d[13] and d["13"] are
// one entry; enumeration gives index-like keys back as numbers. Keys are
// held strongly (weakKeys is accepted and changes nothing).
#include <unordered_map>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

class DictionaryObject : public Object {
public:
    DictionaryObject(ClassObject* cls, Object* proto) : Object(ObjKind::Dictionary, cls, proto) {}

    bool GetIndexed(Machine& m, const Value& key, Value& out) override {
        auto it = index_.find(KeyOf(m, key));
        if (it == index_.end()) return false;
        out = entries_[it->second].value;
        return true;
    }
    bool SetIndexed(Machine& m, const Value& key, const Value& v) override {
        Cell* k = KeyOf(m, key);
        auto it = index_.find(k);
        if (it != index_.end()) {
            entries_[it->second].value = v;
            return true;
        }
        Compact();
        if (entries_.size() >= kMaxDenseLength) m.RangeError(1005, "Array index is not a positive integer.");
        index_.emplace(k, entries_.size());
        entries_.push_back({key.IsObject() ? Value::Obj(key.o) : Value::Str(static_cast<String*>(k)), v, true});
        return true;
    }
    bool DeleteIndexed(Machine& m, const Value& key, bool& result) override {
        auto it = index_.find(KeyOf(m, key));
        result = true;
        if (it == index_.end()) return true;
        entries_[it->second].live = false;
        entries_[it->second].key = Value::Undefined();
        entries_[it->second].value = Value::Undefined();
        index_.erase(it);
        return true;
    }
    bool HasIndexed(Machine& m, const Value& key, bool& result) override {
        result = index_.count(KeyOf(m, key)) != 0;
        return true;
    }
    int NextIndex(Machine&, int pos) override {
        if (pos < 0) return 0;
        for (size_t i = size_t(pos); i < entries_.size(); ++i)
            if (entries_[i].live) return int(i + 1);
        return 0;
    }
    Value NameAt(Machine& m, int pos) override {
        if (pos < 1 || size_t(pos) > entries_.size()) return Value::Undefined();
        const Value& k = entries_[size_t(pos) - 1].key;
        uint32_t index;
        if (k.IsString() && m.IsIndexKey(k, &index)) return Value::Uint(index);
        return k;
    }
    Value ValueAt(Machine&, int pos) override {
        if (pos < 1 || size_t(pos) > entries_.size()) return Value::Undefined();
        return entries_[size_t(pos) - 1].value;
    }
    void Trace(Tracer& t) override {
        Object::Trace(t);
        for (const Entry& e : entries_) {
            t.Mark(e.key);
            t.Mark(e.value);
        }
    }

private:
    struct Entry {
        Value key;
        Value value;
        bool live;
    };
    std::vector<Entry> entries_;  // insertion order; deleted ones stay dead until compacted
    std::unordered_map<Cell*, size_t> index_;

    static Cell* KeyOf(Machine& m, const Value& key) {
        if (key.IsObject()) return key.o;
        return m.Intern(m.ToString(key));
    }
    // Drops dead entries once they are most of the table, so a loop that
    // adds and deletes does not grow it.
    void Compact() {
        if (entries_.size() < 16 || index_.size() * 2 > entries_.size()) return;
        std::vector<Entry> kept;
        for (Entry& e : entries_)
            if (e.live) kept.push_back(e);
        entries_.swap(kept);
        index_.clear();
        for (size_t i = 0; i < entries_.size(); ++i)
            index_.emplace(entries_[i].key.IsObject() ? static_cast<Cell*>(entries_[i].key.o) : entries_[i].key.s, i);
    }
};

Object* AllocDictionary(Machine& m, ClassObject* cls) { return m.New<DictionaryObject>(cls, cls->prototype); }

Value DictionaryInit(Machine&, Value, Args, int) { return Value::Undefined(); }

}  // namespace

void InstallDictionary(Machine& m) {
    ClassObject* c = m.DefineClass("flash.utils", "Dictionary", m.objectClass, AllocDictionary, false);
    m.dictionaryClass = c;
    c->init = m.NewNativeMethod("Dictionary", DictionaryInit, 0);
}

}  // namespace swf::avm2
