#include "swf/classes/XmlDocument.h"

#include <cstdlib>
#include <cstring>

#include "swf/model/Utf8.h"

namespace swf {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool AllSpace(const std::string& s) {
    for (char c : s)
        if (!IsSpace(c)) return false;
    return true;
}

void AppendCodePoint(std::string& out, unsigned long cp) {
    if (cp != 0 && cp <= 0x10FFFF) AppendUtf8(out, uint32_t(cp));
}

class Parser {
public:
    Parser(const std::string& text, bool ignoreWhite) : s_(text), ignoreWhite_(ignoreWhite) {}

    XmlDocument Run() {
        stack_.push_back(&doc_.root);
        while (pos_ < s_.size() && doc_.status == kXmlOk) {
            if (s_[pos_] == '<') {
                Markup();
            } else {
                size_t end = s_.find('<', pos_);
                if (end == std::string::npos) end = s_.size();
                AddText(DecodeXmlEntities(s_.substr(pos_, end - pos_)));
                pos_ = end;
            }
        }
        if (doc_.status == kXmlOk && stack_.size() > 1) doc_.status = kXmlStartTagUnclosed;
        return std::move(doc_);
    }

private:
    bool At(const char* p) const { return s_.compare(pos_, std::strlen(p), p) == 0; }

    // Skips to just past `close`; false (and the status) when it never comes.
    bool SkipPast(const char* close, int status, std::string* inner, size_t from) {
        const size_t end = s_.find(close, pos_);
        if (end == std::string::npos) {
            doc_.status = status;
            return false;
        }
        if (inner) *inner = s_.substr(from, end - from);
        pos_ = end + std::strlen(close);
        return true;
    }

    void Markup() {
        std::string inner;
        if (At("<!--")) {
            SkipPast("-->", kXmlCommentOpen, nullptr, 0);
        } else if (At("<![CDATA[")) {
            if (SkipPast("]]>", kXmlCdataOpen, &inner, pos_ + 9)) AddText(inner, true);
        } else if (At("<!DOCTYPE") || At("<!doctype")) {
            const size_t from = pos_;
            if (SkipPast(">", kXmlDoctypeOpen, nullptr, 0)) doc_.docTypeDecl = s_.substr(from, pos_ - from);
        } else if (At("<?")) {
            const size_t from = pos_;
            const bool decl = At("<?xml");
            if (SkipPast("?>", kXmlDeclarationOpen, nullptr, 0) && decl) doc_.xmlDecl = s_.substr(from, pos_ - from);
        } else if (At("</")) {
            EndTag();
        } else {
            StartTag();
        }
    }

    std::string Name() {
        const size_t from = pos_;
        while (pos_ < s_.size() && !IsSpace(s_[pos_]) && s_[pos_] != '/' && s_[pos_] != '>' && s_[pos_] != '=')
            ++pos_;
        return s_.substr(from, pos_ - from);
    }

    void SkipSpace() {
        while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
    }

    void StartTag() {
        ++pos_;
        XmlNode node;
        node.name = Name();
        if (node.name.empty()) {
            doc_.status = kXmlMalformedElement;
            return;
        }
        for (;;) {
            SkipSpace();
            if (pos_ >= s_.size()) {
                doc_.status = kXmlMalformedElement;
                return;
            }
            if (s_[pos_] == '>' || At("/>")) break;
            std::string key = Name();
            SkipSpace();
            if (key.empty() || pos_ >= s_.size() || s_[pos_] != '=') {
                doc_.status = kXmlMalformedElement;
                return;
            }
            ++pos_;
            SkipSpace();
            const char quote = pos_ < s_.size() ? s_[pos_] : 0;
            const size_t end = (quote == '"' || quote == '\'') ? s_.find(quote, pos_ + 1) : std::string::npos;
            if (end == std::string::npos) {
                doc_.status = kXmlAttributeOpen;
                return;
            }
            node.attributes.emplace_back(std::move(key), DecodeXmlEntities(s_.substr(pos_ + 1, end - pos_ - 1)));
            pos_ = end + 1;
        }
        const bool empty = s_[pos_] == '/';
        pos_ += empty ? 2 : 1;
        XmlNode* added = Add(std::move(node));
        if (added && !empty) {
            if (stack_.size() > kMaxXmlDepth) {
                doc_.status = kXmlOutOfMemory;
                return;
            }
            stack_.push_back(added);
        }
    }

    void EndTag() {
        pos_ += 2;
        const std::string name = Name();
        SkipSpace();
        if (pos_ >= s_.size() || s_[pos_] != '>') {
            doc_.status = kXmlMalformedElement;
            return;
        }
        ++pos_;
        if (stack_.size() < 2 || stack_.back()->name != name) {
            doc_.status = kXmlEndTagUnmatched;
            return;
        }
        stack_.pop_back();
    }

    void AddText(std::string text, bool keepSpace = false) {
        // An empty CDATA section still makes a (blank) text node.
        if ((text.empty() && !keepSpace) || (ignoreWhite_ && !keepSpace && AllSpace(text))) return;
        XmlNode node;
        node.type = XmlNodeType::Text;
        node.value = std::move(text);
        Add(std::move(node));
    }

    // Parents on the stack stay put: only the innermost one gains children.
    XmlNode* Add(XmlNode node) {
        if (++nodes_ > kMaxXmlNodes) {
            doc_.status = kXmlOutOfMemory;
            return nullptr;
        }
        stack_.back()->children.push_back(std::move(node));
        return &stack_.back()->children.back();
    }

    const std::string& s_;
    bool ignoreWhite_;
    size_t pos_ = 0;
    size_t nodes_ = 0;
    XmlDocument doc_;
    std::vector<XmlNode*> stack_;
};

}  // namespace

std::string DecodeXmlEntities(const std::string& s) {
    static const struct {
        const char* name;
        char c;
    } kNamed[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const size_t semi = s[i] == '&' ? s.find(';', i) : std::string::npos;
        if (semi == std::string::npos || semi - i > 10) {
            out += s[i];
            continue;
        }
        const std::string ent = s.substr(i + 1, semi - i - 1);
        bool done = false;
        for (const auto& n : kNamed)
            if (ent == n.name) {
                out += n.c;
                done = true;
            }
        if (!done && ent.size() > 1 && ent[0] == '#') {
            const bool hex = ent[1] == 'x' || ent[1] == 'X';
            const char* digits = ent.c_str() + (hex ? 2 : 1);
            char* end = nullptr;
            const unsigned long cp = std::strtoul(digits, &end, hex ? 16 : 10);
            if (*digits && end && *end == 0) {
                AppendCodePoint(out, cp);
                done = true;
            }
        }
        if (!done) {
            out += s[i];
            continue;
        }
        i = semi;
    }
    return out;
}

XmlDocument ParseXml(const std::string& text, bool ignoreWhite) { return Parser(text, ignoreWhite).Run(); }

}  // namespace swf
