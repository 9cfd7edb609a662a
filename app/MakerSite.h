// The maker's web site: the About box's link and the help command both open
// pages of it.
#pragma once

#define PICTARO_MAKER_SITE "https://www.pictaro.example"

constexpr char kProductPageUrl[] = PICTARO_MAKER_SITE "/products/pictaro/";
constexpr char kHelpPageUrl[] = PICTARO_MAKER_SITE "/products/pictaro/help";
