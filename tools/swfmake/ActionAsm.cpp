#include "tools/swfmake/ActionAsm.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

#include "tools/swfmake/ByteWriter.h"

namespace swfmake {

namespace {

const std::map<std::string, uint8_t>& OpCodes() {
    static const std::map<std::string, uint8_t> kOps = {
        {"nextframe", 0x04}, {"prevframe", 0x05}, {"play", 0x06}, {"stop", 0x07}, {"togglequality", 0x08},
        {"stopsounds", 0x09}, {"add", 0x0A}, {"subtract", 0x0B}, {"multiply", 0x0C}, {"divide", 0x0D},
        {"equals", 0x0E}, {"less", 0x0F}, {"and", 0x10}, {"or", 0x11}, {"not", 0x12}, {"stringequals", 0x13},
        {"stringlength", 0x14}, {"stringextract", 0x15}, {"pop", 0x17}, {"tointeger", 0x18},
        {"getvariable", 0x1C}, {"setvariable", 0x1D}, {"settarget2", 0x20}, {"stringadd", 0x21},
        {"getproperty", 0x22}, {"setproperty", 0x23}, {"clonesprite", 0x24}, {"removesprite", 0x25},
        {"trace", 0x26}, {"startdrag", 0x27}, {"enddrag", 0x28}, {"stringless", 0x29}, {"throw", 0x2A},
        {"castop", 0x2B}, {"implementsop", 0x2C}, {"randomnumber", 0x30}, {"mbstringlength", 0x31},
        {"chartoascii", 0x32}, {"asciitochar", 0x33}, {"gettime", 0x34}, {"mbstringextract", 0x35},
        {"mbchartoascii", 0x36}, {"mbasciitochar", 0x37}, {"delete", 0x3A}, {"delete2", 0x3B},
        {"definelocal", 0x3C}, {"callfunction", 0x3D}, {"return", 0x3E}, {"modulo", 0x3F}, {"newobject", 0x40},
        {"definelocal2", 0x41}, {"initarray", 0x42}, {"initobject", 0x43}, {"typeof", 0x44},
        {"targetpath", 0x45}, {"enumerate", 0x46}, {"add2", 0x47}, {"less2", 0x48}, {"equals2", 0x49},
        {"tonumber", 0x4A}, {"tostring", 0x4B}, {"pushduplicate", 0x4C}, {"stackswap", 0x4D},
        {"getmember", 0x4E}, {"setmember", 0x4F}, {"increment", 0x50}, {"decrement", 0x51},
        {"callmethod", 0x52}, {"newmethod", 0x53}, {"instanceof", 0x54}, {"enumerate2", 0x55},
        {"bitand", 0x60}, {"bitor", 0x61}, {"bitxor", 0x62}, {"bitlshift", 0x63}, {"bitrshift", 0x64},
        {"biturshift", 0x65}, {"strictequals", 0x66}, {"greater", 0x67}, {"stringgreater", 0x68},
        {"extends", 0x69},
    };
    return kOps;
}

// A 16-bit branch offset or body size: label - from, stored at `at`.
struct Fixup {
    size_t at;
    size_t from;
    std::string label;
    bool relative;
    int line;
};

class Assembler {
public:
    std::vector<uint8_t> Run(const std::string& text) {
        size_t pos = 0;
        while (pos <= text.size()) {
            size_t end = text.find_first_of("\n;", pos);
            if (end == std::string::npos) end = text.size();
            // ';' inside quotes is text, not a separator.
            size_t q = text.find_first_of("'\"", pos);
            while (q != std::string::npos && q < end) {
                size_t close = text.find(text[q], q + 1);
                if (close == std::string::npos) break;
                if (close > end) end = text.find_first_of("\n;", close);
                if (end == std::string::npos) end = text.size();
                q = text.find_first_of("'\"", close + 1);
            }
            ++line_;
            Line(text.substr(pos, end - pos));
            pos = end + 1;
        }
        for (const Fixup& f : fixups_) {
            auto it = labels_.find(f.label);
            if (it == labels_.end()) throw AsmError("line " + std::to_string(f.line) + ": no label " + f.label);
            long v = static_cast<long>(it->second) - static_cast<long>(f.from);
            out_[f.at] = static_cast<uint8_t>(v & 0xFF);
            out_[f.at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
        }
        return out_;
    }

private:
    [[noreturn]] void Fail(const std::string& what) {
        throw AsmError("line " + std::to_string(line_) + ": " + what);
    }

    // Operand tokens: quoted strings keep their quotes; commas and
    // parentheses separate.
    std::vector<std::string> Tokens(const std::string& s) {
        std::vector<std::string> out;
        size_t i = 0;
        while (i < s.size()) {
            char c = s[i];
            if (c == '#') break;  // a comment to the end of the line
            if (std::isspace(static_cast<unsigned char>(c)) || c == ',' || c == '(' || c == ')') {
                ++i;
                continue;
            }
            if (c == '\'' || c == '"') {
                size_t close = s.find(c, i + 1);
                if (close == std::string::npos) Fail("unclosed string");
                out.push_back(s.substr(i, close - i + 1));
                i = close + 1;
                continue;
            }
            size_t j = i;
            while (j < s.size() && !std::isspace(static_cast<unsigned char>(s[j])) && s[j] != ',' && s[j] != '(' &&
                   s[j] != ')')
                ++j;
            out.push_back(s.substr(i, j - i));
            i = j;
        }
        return out;
    }

    static bool Quoted(const std::string& t) { return t.size() >= 2 && (t[0] == '\'' || t[0] == '"'); }
    std::string Text(const std::string& t) {
        if (!Quoted(t)) Fail("expected a quoted string, got " + t);
        return t.substr(1, t.size() - 2);
    }
    long Int(const std::string& t) {
        char* end = nullptr;
        long v = std::strtol(t.c_str(), &end, 0);
        if (t.empty() || *end) Fail("expected a number, got " + t);
        return v;
    }

    void Record(uint8_t code, ByteWriter& payload) {
        out_.push_back(code);
        if (code & 0x80) {
            const std::vector<uint8_t>& p = payload.Data();
            out_.push_back(static_cast<uint8_t>(p.size() & 0xFF));
            out_.push_back(static_cast<uint8_t>(p.size() >> 8));
            out_.insert(out_.end(), p.begin(), p.end());
        }
    }

    void PushItem(ByteWriter& w, const std::string& t) {
        if (Quoted(t)) { w.U8(0); w.String(Text(t)); return; }
        std::string l = t;
        for (char& c : l) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (l == "true" || l == "false") { w.U8(5); w.U8(l == "true"); return; }
        if (l == "null") { w.U8(2); return; }
        if (l == "undefined") { w.U8(3); return; }
        if (l.rfind("r:", 0) == 0) { w.U8(4); w.U8(static_cast<uint8_t>(Int(t.substr(2)))); return; }
        if (l.rfind("c:", 0) == 0) {
            long i = Int(t.substr(2));
            if (i < 256) { w.U8(8); w.U8(static_cast<uint8_t>(i)); }
            else { w.U8(9); w.U16(static_cast<uint16_t>(i)); }
            return;
        }
        char* end = nullptr;
        double d = std::strtod(t.c_str(), &end);
        if (t.empty() || *end) Fail("cannot push " + t);
        if (d == std::floor(d) && std::fabs(d) < 2147483648.0 && t.find_first_of(".eE") == std::string::npos) {
            w.U8(7);
            w.U32(static_cast<uint32_t>(static_cast<int32_t>(d)));
            return;
        }
        uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        w.U8(6);
        w.U32(static_cast<uint32_t>(bits >> 32));
        w.U32(static_cast<uint32_t>(bits));
    }

    void Line(std::string s) {
        size_t b = s.find_first_not_of(" \t\r");
        if (b == std::string::npos) return;
        s = s.substr(b);
        if (s[0] == '#') return;
        std::vector<std::string> t = Tokens(s);
        if (t.empty()) return;
        if (t[0].back() == ':' && !Quoted(t[0])) {
            labels_[t[0].substr(0, t[0].size() - 1)] = out_.size();
            t.erase(t.begin());
            if (t.empty()) return;
        }
        std::string op = t[0];
        for (char& c : op) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::vector<std::string> args(t.begin() + 1, t.end());
        auto need = [&](size_t n) { if (args.size() < n) Fail(op + " needs " + std::to_string(n) + " operands"); };
        const size_t start = out_.size();
        ByteWriter w;
        auto simple = OpCodes().find(op);
        if (simple != OpCodes().end()) {
            Record(simple->second, w);
        } else if (op == "push") {
            need(1);
            for (const std::string& a : args) PushItem(w, a);
            Record(0x96, w);
        } else if (op == "jump" || op == "if") {
            need(1);
            w.S16(0);
            Record(op == "jump" ? 0x99 : 0x9D, w);
            fixups_.push_back({start + 3, out_.size(), args[0], true, line_});
        } else if (op == "gotoframe") {
            need(1); w.U16(static_cast<uint16_t>(Int(args[0]))); Record(0x81, w);
        } else if (op == "gotolabel" || op == "settarget") {
            need(1); w.String(Text(args[0])); Record(op == "gotolabel" ? 0x8C : 0x8B, w);
        } else if (op == "geturl") {
            need(2); w.String(Text(args[0])); w.String(Text(args[1])); Record(0x83, w);
        } else if (op == "geturl2") {
            need(1); w.U8(static_cast<uint8_t>(Int(args[0]))); Record(0x9A, w);
        } else if (op == "gotoframe2") {
            need(1);
            const bool bias = args.size() > 1;
            w.U8(static_cast<uint8_t>((args[0] == "play" ? 1 : 0) | (bias ? 2 : 0)));
            if (bias) w.U16(static_cast<uint16_t>(Int(args[1])));
            Record(0x9F, w);
        } else if (op == "call") {
            Record(0x9E, w);  // carries a length, always 0
        } else if (op == "storeregister") {
            need(1); w.U8(static_cast<uint8_t>(Int(args[0]))); Record(0x87, w);
        } else if (op == "constantpool") {
            w.U16(static_cast<uint16_t>(args.size()));
            for (const std::string& a : args) w.String(Text(a));
            Record(0x88, w);
        } else if (op == "with") {
            need(1); w.U16(0); Record(0x94, w);
            fixups_.push_back({start + 3, out_.size(), args[0], false, line_});
        } else if (op == "definefunction") {
            DefineFunction(args, start);
        } else if (op == "definefunction2") {
            DefineFunction2(args, start);
        } else if (op == "try") {
            Try(args, start);
        } else {
            Fail("unknown action " + op);
        }
    }

    // definefunction name(params...) end ; a name of '' or - is anonymous
    void DefineFunction(const std::vector<std::string>& args, size_t start) {
        if (args.size() < 2) Fail("definefunction needs a name and an end label");
        ByteWriter w;
        w.String(args[0] == "-" ? "" : args[0]);
        w.U16(static_cast<uint16_t>(args.size() - 2));
        for (size_t i = 1; i + 1 < args.size(); ++i) w.String(args[i]);
        const size_t sizeAt = w.Data().size();
        w.U16(0);
        Record(0x9B, w);
        fixups_.push_back({start + 3 + sizeAt, out_.size(), args.back(), false, line_});
    }

    // definefunction2 name registers flags (reg:param, ...) end
    void DefineFunction2(const std::vector<std::string>& args, size_t start) {
        if (args.size() < 4) Fail("definefunction2 needs name, registers, flags and an end label");
        ByteWriter w;
        w.String(args[0] == "-" ? "" : args[0]);
        w.U16(static_cast<uint16_t>(args.size() - 4));
        w.U8(static_cast<uint8_t>(Int(args[1])));
        w.U16(static_cast<uint16_t>(Int(args[2])));
        for (size_t i = 3; i + 1 < args.size(); ++i) {
            size_t colon = args[i].find(':');
            if (colon == std::string::npos) Fail("parameter " + args[i] + " needs register:name");
            w.U8(static_cast<uint8_t>(Int(args[i].substr(0, colon))));
            w.String(args[i].substr(colon + 1));
        }
        const size_t sizeAt = w.Data().size();
        w.U16(0);
        Record(0x8E, w);
        fixups_.push_back({start + 3 + sizeAt, out_.size(), args.back(), false, line_});
    }

    // try name|r:N catchLabel|- finallyLabel|- endLabel
    void Try(const std::vector<std::string>& args, size_t start) {
        if (args.size() < 4) Fail("try needs a catch target and three labels");
        const bool inRegister = args[0].rfind("r:", 0) == 0;
        const bool hasCatch = args[1] != "-", hasFinally = args[2] != "-";
        ByteWriter w;
        w.U8(static_cast<uint8_t>((hasCatch ? 1 : 0) | (hasFinally ? 2 : 0) | (inRegister ? 4 : 0)));
        w.U16(0); w.U16(0); w.U16(0);
        if (inRegister) w.U8(static_cast<uint8_t>(Int(args[0].substr(2))));
        else w.String(args[0]);
        Record(0x8F, w);
        const size_t body = out_.size();
        // Sizes: try = catch - body, catch = finally - catch, finally = end - finally.
        const std::string catchLabel = hasCatch ? args[1] : (hasFinally ? args[2] : args[3]);
        const std::string finallyLabel = hasFinally ? args[2] : args[3];
        tryFixups_.push_back({start + 4, body, catchLabel, finallyLabel, args[3], line_});
    }

    struct TryFix {
        size_t fields, body;
        std::string catchLabel, finallyLabel, endLabel;
        int line;
    };

public:
    std::vector<uint8_t> Finish(const std::string& text) {
        std::vector<uint8_t> out = Run(text);
        for (const TryFix& t : tryFixups_) {
            auto at = [&](const std::string& l) {
                auto it = labels_.find(l);
                if (it == labels_.end()) throw AsmError("line " + std::to_string(t.line) + ": no label " + l);
                return it->second;
            };
            const size_t c = at(t.catchLabel), f = at(t.finallyLabel), e = at(t.endLabel);
            const size_t sizes[3] = {c - t.body, f - c, e - f};
            for (int i = 0; i < 3; ++i) {
                out[t.fields + 2 * size_t(i)] = static_cast<uint8_t>(sizes[i] & 0xFF);
                out[t.fields + 2 * size_t(i) + 1] = static_cast<uint8_t>(sizes[i] >> 8);
            }
        }
        return out;
    }

private:
    std::vector<uint8_t> out_;
    std::map<std::string, size_t> labels_;
    std::vector<Fixup> fixups_;
    std::vector<TryFix> tryFixups_;
    int line_ = 0;
};

}  // namespace

std::vector<uint8_t> Assemble(const std::string& text) { return Assembler().Finish(text); }

}  // namespace swfmake
