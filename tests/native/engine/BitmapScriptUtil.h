// Script snippets for BitmapData tests: new bitmaps and the plain objects
// that stand for points and rectangles.
#pragma once

#include "MovieScriptUtil.h"

namespace enginetest {

// new flash.display.BitmapData(args...)
inline std::string NewBitmap(const std::vector<std::string>& args) {
    std::string out;
    for (auto it = args.rbegin(); it != args.rend(); ++it) out += *it + "; ";
    return out + "push " + std::to_string(args.size()) + "; " + Var("flash.display") + "; push 'BitmapData'; newmethod";
}

// {name: value, ...}
inline std::string Obj(const std::vector<std::pair<std::string, double>>& fields) {
    std::string out;
    for (const auto& f : fields) out += Str(f.first) + "; " + Num(f.second) + "; ";
    return out + "push " + std::to_string(fields.size()) + "; initobject";
}

inline std::string RectObj(double x, double y, double w, double h) {
    return Obj({{"x", x}, {"y", y}, {"width", w}, {"height", h}});
}

}  // namespace enginetest
