// Markup into XML nodes. Hostile text is bounded: nesting deeper than
// kMaxDepth or more than kMaxNodes nodes is refused as malformed, and
// every error is the reference's TypeError, never a crash.
#include <cctype>
#include <cstring>

#include "swf/avm2/classes/XmlModel.h"
#include "swf/model/Utf8.h"

namespace swf::avm2 {

namespace {

constexpr size_t kMaxDepth = 1024;
constexpr size_t kMaxNodes = 1000000;
const char* const kXmlUri = "http://www.w3.org/XML/1998/namespace";

bool NameStart(unsigned char c) { return std::isalpha(c) || c == '_' || c == ':' || c >= 0x80; }
bool NameChar(unsigned char c) { return NameStart(c) || std::isdigit(c) || c == '-' || c == '.'; }
bool Space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Character and the five named references; anything else stays as written.
std::string Decode(const std::string& s) {
    if (s.find('&') == std::string::npos) return s;
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        size_t end = s[i] == '&' ? s.find(';', i) : std::string::npos;
        if (end == std::string::npos || end - i > 12) {
            out += s[i];
            continue;
        }
        std::string ent = s.substr(i + 1, end - i - 1);
        if (ent == "lt") out += '<';
        else if (ent == "gt") out += '>';
        else if (ent == "amp") out += '&';
        else if (ent == "quot") out += '"';
        else if (ent == "apos") out += '\'';
        else if (ent.size() > 1 && ent[0] == '#') {
            bool hex = ent[1] == 'x' || ent[1] == 'X';
            uint32_t c = 0;
            bool ok = ent.size() > (hex ? 2u : 1u);
            for (size_t k = hex ? 2 : 1; k < ent.size() && ok; ++k) {
                int d = std::isdigit((unsigned char)ent[k]) ? ent[k] - '0'
                        : hex && std::isxdigit((unsigned char)ent[k]) ? (std::tolower(ent[k]) - 'a' + 10) : -1;
                if (d < 0 || c > 0x10FFFF) ok = false;
                else c = c * (hex ? 16 : 10) + uint32_t(d);
            }
            if (!ok || c > 0x10FFFF) {
                out += s[i];
                continue;
            }
            AppendUtf8(out, c);
        } else {
            out += s[i];
            continue;
        }
        i = end;
    }
    return out;
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && Space(s[b])) ++b;
    while (e > b && Space(s[e - 1])) --e;
    return s.substr(b, e - b);
}

class Parser {
public:
    Parser(Machine& m, const std::string& s) : m_(m), s_(s), set_(Settings(m)) {}

    XmlObject* Run() {
        XmlObject* holder = NewXml(m_, XKind::Element);
        stack_.push_back(holder);
        while (pos_ < s_.size()) {
            if (s_[pos_] != '<') {
                size_t end = s_.find('<', pos_);
                if (end == std::string::npos) end = s_.size();
                AddText(Decode(s_.substr(pos_, end - pos_)), false);
                pos_ = end;
            } else {
                Markup();
            }
        }
        if (stack_.size() > 1) Unterminated(stack_.back());
        return holder;
    }

private:
    Machine& m_;
    const std::string& s_;
    XmlSettings set_;
    size_t pos_ = 0;
    size_t nodes_ = 0;
    std::vector<XmlObject*> stack_;

    [[noreturn]] void Fail(int id, const std::string& text) { m_.TypeError(id, text); }
    [[noreturn]] void Malformed() { Fail(1090, "XML parser failure: element is malformed."); }
    [[noreturn]] void Unterminated(XmlObject* open) {
        std::string name = QualifiedText(open);
        Fail(1085, "The element type \"" + name + "\" must be terminated by the matching end-tag \"</" + name + ">\".");
    }
    static std::string QualifiedText(XmlObject* x) {
        return x->prefix && !x->prefix->text.empty() ? x->prefix->text + ":" + x->local->text : x->local->text;
    }

    XmlObject* Add(XKind kind) {
        if (++nodes_ > kMaxNodes) Malformed();
        XmlObject* x = NewXml(m_, kind);
        x->parent = stack_.back();
        stack_.back()->children.push_back(x);
        return x;
    }

    void AddText(const std::string& text, bool cdata) {
        std::string t = text;
        if (!cdata && set_.ignoreWhitespace) {
            t = Trim(t);
            if (t.empty()) return;
        }
        XmlObject* x = Add(XKind::Text);
        x->value = m_.Str(t);
        x->cdata = cdata;
    }

    bool At(const char* lit) const { return s_.compare(pos_, std::strlen(lit), lit) == 0; }

    // Text from pos_ + skip up to `close`, pos_ left past it; false at the end.
    bool Until(const char* close, size_t skip, std::string* inner) {
        size_t end = s_.find(close, pos_ + skip);
        if (end == std::string::npos) return false;
        if (inner) *inner = s_.substr(pos_ + skip, end - pos_ - skip);
        pos_ = end + std::strlen(close);
        return true;
    }

    void Markup() {
        std::string inner;
        if (At("<!--")) {
            if (!Until("-->", 4, &inner)) Fail(1094, "XML parser failure: Unterminated comment.");
            if (!set_.ignoreComments) Add(XKind::Comment)->value = m_.Str(inner);
        } else if (At("<![CDATA[")) {
            if (!Until("]]>", 9, &inner)) Fail(1091, "XML parser failure: Unterminated CDATA section.");
            AddText(inner, true);
        } else if (At("<!DOCTYPE")) {
            if (!Until(">", 9, nullptr)) Fail(1093, "XML parser failure: Unterminated DOCTYPE declaration.");
        } else if (At("<?xml ") || At("<?xml?")) {
            if (!Until("?>", 5, nullptr)) Fail(1092, "XML parser failure: Unterminated XML declaration.");
        } else if (At("<?")) {
            if (!Until("?>", 2, &inner)) Fail(1097, "XML parser failure: Unterminated processing instruction.");
            if (set_.ignorePIs) return;
            size_t n = 0;
            while (n < inner.size() && !Space(inner[n])) ++n;
            size_t v = n;
            while (v < inner.size() && Space(inner[v])) ++v;
            XmlObject* x = Add(XKind::Instruction);
            x->local = m_.Intern(inner.substr(0, n));
            x->value = m_.Str(inner.substr(v));
        } else if (At("</")) {
            EndTag();
        } else {
            StartTag();
        }
    }

    std::string ReadName() {
        size_t from = pos_;
        if (pos_ >= s_.size() || !NameStart((unsigned char)s_[pos_])) Malformed();
        while (pos_ < s_.size() && NameChar((unsigned char)s_[pos_])) ++pos_;
        return s_.substr(from, pos_ - from);
    }
    void SkipSpace() {
        while (pos_ < s_.size() && Space(s_[pos_])) ++pos_;
    }

    void EndTag() {
        pos_ += 2;
        std::string name = ReadName();
        // The reference ignores whatever follows the name up to '>'.
        size_t end = s_.find('>', pos_);
        if (end == std::string::npos) Malformed();
        pos_ = end + 1;
        if (stack_.size() < 2) Malformed();
        XmlObject* open = stack_.back();
        if (name != QualifiedText(open)) Unterminated(open);
        stack_.pop_back();
    }

    void StartTag() {
        ++pos_;
        std::string name = ReadName();
        std::vector<std::pair<std::string, std::string>> attrs;
        bool empty = false;
        for (;;) {
            size_t before = pos_;
            SkipSpace();
            if (pos_ >= s_.size()) Unterminated(NameOnly(name));
            if (s_[pos_] == '>') {
                ++pos_;
                break;
            }
            if (At("/>")) {
                pos_ += 2;
                empty = true;
                break;
            }
            if (before == pos_) Malformed();
            std::string key = ReadName();
            SkipSpace();
            if (pos_ >= s_.size() || s_[pos_] != '=') Malformed();
            ++pos_;
            SkipSpace();
            if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) Malformed();
            size_t end = s_.find(s_[pos_], pos_ + 1);
            if (end == std::string::npos) Fail(1095, "XML parser failure: Unterminated attribute.");
            for (auto& a : attrs)
                if (a.first == key)
                    Fail(1104, "Attribute \"" + key + "\" was already specified for element \"" + name + "\".");
            attrs.emplace_back(key, Decode(s_.substr(pos_ + 1, end - pos_ - 1)));
            pos_ = end + 1;
        }
        XmlObject* x = Add(XKind::Element);
        for (auto& [key, value] : attrs) {
            if (key == "xmlns") x->decls.push_back({m_.Intern(""), m_.Intern(value)});
            else if (key.compare(0, 6, "xmlns:") == 0) x->decls.push_back({m_.Intern(key.substr(6)), m_.Intern(value)});
        }
        SetName(x, name, false, name);
        for (auto& [key, value] : attrs) {
            if (key == "xmlns" || key.compare(0, 6, "xmlns:") == 0) continue;
            XmlObject* a = NewXml(m_, XKind::Attribute);
            a->parent = x;
            a->value = m_.Str(value);
            SetName(a, key, true, name);
            x->attrs.push_back(a);
        }
        if (empty) return;
        if (stack_.size() > kMaxDepth) Malformed();
        stack_.push_back(x);
    }

    XmlObject* NameOnly(const std::string& name) {
        XmlObject* x = NewXml(m_, XKind::Element);
        x->local = m_.Intern(name);
        return x;
    }

    String* Lookup(XmlObject* from, const std::string& prefix) {
        for (XmlObject* e = from; e; e = e->parent)
            for (const XNs& d : e->decls)
                if (d.prefix && d.prefix->text == prefix) return d.uri;
        if (prefix == "xml") return m_.Intern(kXmlUri);
        return prefix.empty() ? m_.Intern("") : nullptr;
    }

    void SetName(XmlObject* x, const std::string& name, bool attribute, const std::string& element) {
        size_t colon = name.find(':');
        XmlObject* scope = attribute ? x->parent : x;
        if (colon == std::string::npos) {
            x->local = m_.Intern(name);
            x->uri = attribute ? m_.Intern("") : Lookup(scope, "");
            return;
        }
        std::string prefix = name.substr(0, colon);
        x->local = m_.Intern(name.substr(colon + 1));
        x->prefix = m_.Intern(prefix);
        x->uri = Lookup(scope, prefix);
        if (!x->uri) {
            if (attribute)
                Fail(1084, "The prefix \"" + prefix + "\" for attribute \"" + x->local->text +
                               "\" associated with an element type \"" + element + "\" is not bound.");
            Fail(1083, "The prefix \"" + prefix + "\" for element \"" + x->local->text + "\" is not bound.");
        }
    }
};

}  // namespace

XmlObject* ParseMarkup(Machine& m, const std::string& text) {
    XmlObject* holder = Parser(m, text).Run();
    for (XmlObject* c : holder->children) c->parent = nullptr;
    return holder;
}

}  // namespace swf::avm2
