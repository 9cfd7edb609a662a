// The collected heap: every string and object is a Cell on one list.
// Collection is mark and sweep from the machine's roots (definitions,
// modules, running frames, native temporaries); it runs only at safe points
// (between host entries and at backward branches), so native code between
// those points never sees a cell freed under it. Cycles go like the rest.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "swf/avm2/Value.h"

namespace swf::avm2 {

class Tracer {
public:
    void Mark(Cell* c) {
        if (c && !c->marked) {
            c->marked = true;
            stack_.push_back(c);
        }
    }
    void Mark(const Value& v);
    void Drain() {
        while (!stack_.empty()) {
            Cell* c = stack_.back();
            stack_.pop_back();
            c->Trace(*this);
        }
    }

private:
    std::vector<Cell*> stack_;
};

class Heap {
public:
    ~Heap();

    template <typename T, typename... A>
    T* Alloc(A&&... a) {
        T* c = new T(std::forward<A>(a)...);
        Link(c, sizeof(T));
        return c;
    }
    String* NewString(const std::string& text) {
        String* s = Alloc<String>(text);
        s->cellBytes += uint32_t(text.size());
        bytes_ += text.size();
        return s;
    }
    String* Intern(const std::string& text);
    String* Intern(String* s);

    // Frees every unmarked cell and clears the marks; interned strings not
    // reached leave the table.
    void Sweep();
    size_t Bytes() const { return bytes_; }
    size_t Cells() const { return cells_; }
    size_t BytesSinceCollect() const { return bytes_ - bytesAfterCollect_; }

private:
    void Link(Cell* c, size_t size) {
        c->nextCell = first_;
        c->cellBytes = uint32_t(size);
        first_ = c;
        bytes_ += size;
        ++cells_;
    }
    Cell* first_ = nullptr;
    size_t bytes_ = 0;
    size_t cells_ = 0;
    size_t bytesAfterCollect_ = 0;
    std::unordered_map<std::string_view, String*> interned_;
};

}  // namespace swf::avm2
