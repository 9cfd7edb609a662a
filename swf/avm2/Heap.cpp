#include "swf/avm2/Heap.h"

#include "swf/avm2/Object.h"

namespace swf::avm2 {

void Tracer::Mark(const Value& v) {
    if (v.tag == Tag::String)
        Mark(v.s);
    else if (v.tag == Tag::Object)
        Mark(v.o);
}

void String::Trace(Tracer& t) {
    if (internedAs && internedAs != this) t.Mark(internedAs);
}

int32_t String::Length16() const {
    int32_t n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = text[i];
        if ((c & 0xC0) == 0x80) continue;
        n += c >= 0xF0 ? 2 : 1;  // astral characters take a surrogate pair
    }
    return n;
}

Heap::~Heap() {
    for (Cell* c = first_; c;) {
        Cell* next = c->nextCell;
        delete c;
        c = next;
    }
}

String* Heap::Intern(const std::string& text) {
    auto it = interned_.find(std::string_view(text));
    if (it != interned_.end()) return it->second;
    String* s = NewString(text);
    s->interned = true;
    s->internedAs = s;
    interned_.emplace(std::string_view(s->text), s);
    return s;
}

String* Heap::Intern(String* s) {
    if (s->internedAs) return s->internedAs;
    auto it = interned_.find(std::string_view(s->text));
    if (it != interned_.end()) return s->internedAs = it->second;
    s->interned = true;
    s->internedAs = s;
    interned_.emplace(std::string_view(s->text), s);
    return s;
}

void Heap::Sweep() {
    // Interned strings not reached leave the table first, while their text
    // (the key) is still alive; cached twins of reached strings are marked
    // by their tracers.
    for (auto it = interned_.begin(); it != interned_.end();)
        it = it->second->marked ? std::next(it) : interned_.erase(it);
    Cell** link = &first_;
    while (Cell* c = *link) {
        if (c->marked) {
            c->marked = false;
            link = &c->nextCell;
            continue;
        }
        *link = c->nextCell;
        --cells_;
        bytes_ -= c->cellBytes;
        delete c;
    }
    bytesAfterCollect_ = bytes_;
}

}  // namespace swf::avm2
