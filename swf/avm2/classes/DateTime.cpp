#include "swf/avm2/classes/DateTime.h"

#include <cctype>
#include <cmath>
#include <vector>

#include "swf/classes/LocalZone.h"

namespace swf::avm2::datetime {

namespace {

double Mod(double a, double b) {
    double r = std::fmod(a, b);
    return r < 0 ? r + b : r;
}

double DayFromYear(double y) {
    return 365 * (y - 1970) + std::floor((y - 1969) / 4) - std::floor((y - 1901) / 100) + std::floor((y - 1601) / 400);
}

bool Leap(double y) { return std::fmod(y, 4) == 0 && (std::fmod(y, 100) != 0 || std::fmod(y, 400) == 0); }

const int kMonthStart[2][13] = {{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
                                {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};

int DayInYear(double t) { return int(Day(t) - DayFromYear(YearFromTime(t))); }

}  // namespace

double Day(double t) { return std::floor(t / kMsPerDay); }

double YearFromTime(double t) {
    double y = std::floor(Day(t) / 365.2425) + 1970;
    while (DayFromYear(y) * kMsPerDay > t) --y;
    while (DayFromYear(y + 1) * kMsPerDay <= t) ++y;
    return y;
}

double MonthFromTime(double t) {
    int d = DayInYear(t), leap = Leap(YearFromTime(t)) ? 1 : 0;
    int mo = 0;
    while (mo < 11 && d >= kMonthStart[leap][mo + 1]) ++mo;
    return mo;
}

double DateFromTime(double t) {
    int d = DayInYear(t), leap = Leap(YearFromTime(t)) ? 1 : 0;
    return d - kMonthStart[leap][int(MonthFromTime(t))] + 1;
}

double WeekDay(double t) { return Mod(Day(t) + 4, 7); }
double HourFromTime(double t) { return Mod(std::floor(t / 3600000.0), 24); }
double MinFromTime(double t) { return Mod(std::floor(t / 60000.0), 60); }
double SecFromTime(double t) { return Mod(std::floor(t / 1000.0), 60); }
double MsFromTime(double t) { return Mod(t, 1000); }

double MakeTime(double h, double m, double s, double ms) {
    if (!std::isfinite(h) || !std::isfinite(m) || !std::isfinite(s) || !std::isfinite(ms)) return NAN;
    return std::trunc(h) * 3600000.0 + std::trunc(m) * 60000.0 + std::trunc(s) * 1000.0 + std::trunc(ms);
}

double MakeDay(double year, double month, double date) {
    if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(date)) return NAN;
    double y = std::trunc(year), m = std::trunc(month), dt = std::trunc(date);
    double ym = y + std::floor(m / 12);
    int mn = int(Mod(m, 12));
    if (std::fabs(ym) > 400000) return NAN;
    return DayFromYear(ym) + kMonthStart[Leap(ym) ? 1 : 0][mn] + dt - 1;
}

double MakeDate(double day, double time) {
    if (!std::isfinite(day) || !std::isfinite(time)) return NAN;
    return day * kMsPerDay + time;
}

double TimeClip(double t) {
    if (!std::isfinite(t) || std::fabs(t) > 8.64e15) return NAN;
    return std::trunc(t) + 0.0;
}

double ZoneOffset(double t) { return std::isfinite(t) ? swf::LocalOffsetMinutes(t) * 60000.0 : 0; }

double LocalTime(double t) { return t + ZoneOffset(t); }
double Utc(double local) { return local - ZoneOffset(local - ZoneOffset(local)); }

namespace {

int MonthName(const std::string& w) {
    static const char* names[] = {"jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    for (int i = 0; i < 12; ++i)
        if (w.compare(0, 3, names[i]) == 0) return i;
    return -1;
}

bool DayName(const std::string& w) {
    static const char* names[] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
    for (const char* n : names)
        if (w.compare(0, 3, n) == 0) return true;
    return false;
}

}  // namespace

// Accepts "Tue Feb 1 05:12:30 2005", "Feb 1 2005", "2/1/2005 05:12",
// "... GMT-0800", "... UTC", with AM/PM; missing year or month is NaN.
double Parse(const std::string& s) {
    double year = NAN, month = NAN, date = NAN, h = 0, mi = 0, sec = 0;
    bool zone = false, pm = false, am = false;
    double offset = 0;
    std::vector<double> loose;
    size_t i = 0, n = s.size();
    while (i < n) {
        unsigned char c = s[i];
        if (std::isspace(c) || c == ',') {
            ++i;
            continue;
        }
        if (std::isalpha(c)) {
            std::string w;
            while (i < n && std::isalpha((unsigned char)s[i])) w += char(std::tolower((unsigned char)s[i++]));
            if (w == "gmt" || w == "utc" || w == "z") zone = true;
            else if (w == "am") am = true;
            else if (w == "pm") pm = true;
            else if (MonthName(w) >= 0 && w.size() >= 3) month = MonthName(w);
            else if (!DayName(w)) return NAN;
            continue;
        }
        if ((c == '+' || c == '-') && zone) {
            ++i;
            double v = 0;
            int digits = 0;
            while (i < n && std::isdigit((unsigned char)s[i])) v = v * 10 + (s[i++] - '0'), ++digits;
            if (digits <= 2) v *= 100;
            offset = (c == '-' ? -1 : 1) * (std::floor(v / 100) * 60 + std::fmod(v, 100)) * 60000.0;
            continue;
        }
        if (std::isdigit(c)) {
            std::vector<double> parts;
            char sep = 0;
            for (;;) {
                double v = 0;
                while (i < n && std::isdigit((unsigned char)s[i])) v = v * 10 + (s[i++] - '0');
                parts.push_back(v);
                if (i < n && (s[i] == ':' || s[i] == '/') && (sep == 0 || sep == s[i]) && i + 1 < n &&
                    std::isdigit((unsigned char)s[i + 1])) {
                    sep = s[i++];
                    continue;
                }
                break;
            }
            if (sep == ':') {
                h = parts[0];
                mi = parts.size() > 1 ? parts[1] : 0;
                sec = parts.size() > 2 ? parts[2] : 0;
            } else if (sep == '/') {
                if (parts.size() != 3) return NAN;
                month = parts[0] - 1, date = parts[1], year = parts[2];
            } else {
                loose.push_back(parts[0]);
            }
            continue;
        }
        return NAN;
    }
    for (double v : loose) {
        if (std::isnan(date) && v <= 31 && !std::isnan(month)) date = v;
        else if (std::isnan(year)) year = v;
        else return NAN;
    }
    if (std::isnan(year) || std::isnan(month)) return NAN;
    if (std::isnan(date)) date = 1;
    if (pm && h < 12) h += 12;
    if (am && h == 12) h = 0;
    double t = MakeDate(MakeDay(year, month, date), MakeTime(h, mi, sec, 0));
    t = zone ? t - offset : Utc(t);
    return TimeClip(t);
}

}  // namespace swf::avm2::datetime
