// Variables in URL-encoded form, as LoadVars and loadVariables read and
// send them: "name=value&other=x+y%21".
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace swf {

using UrlVar = std::pair<std::string, std::string>;

// '+' is a space and %XX a byte; a broken escape stays as written. Pairs
// without '=' get an empty value; empty pieces are skipped.
std::vector<UrlVar> DecodeUrlVars(const std::string& text);
std::string UrlDecode(const std::string& s);
// Every byte but letters and digits as %XX, as escape() does.
std::string UrlEncode(const std::string& s);
std::string EncodeUrlVars(const std::vector<UrlVar>& vars);

}  // namespace swf
