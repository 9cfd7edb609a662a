// Date: times are ms since 1970 UTC; local fields use the host's offset.
// Calendar arithmetic on whole days (proleptic Gregorian), so any year
// works the same on every machine.
#include <cmath>
#include <cstdio>

#include "swf/avm1/Vm.h"

namespace swf::avm1 {

namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr double kMaxTime = 8.64e15;
enum Field { kYear, kMonth, kDate, kHours, kMinutes, kSeconds, kMs, kDay, kShortYear };
constexpr int kUtc = 16;

double DaysFromCivil(double y, double m, double d) {
    // m 0-based; months past 11 roll into years.
    y += std::floor(m / 12);
    m = std::fmod(m, 12);
    if (m < 0) m += 12;
    const double yy = m < 2 ? y - 1 : y;
    const double era = std::floor(yy / 400);
    const double yoe = yy - era * 400;
    const double mp = m < 2 ? m + 10 : m - 2;
    const double doy = std::floor((153 * mp + 2) / 5) + d - 1;
    const double doe = yoe * 365 + std::floor(yoe / 4) - std::floor(yoe / 100) + doy;
    return era * 146097 + doe - 719468;
}

struct Fields {
    double v[7];  // year, month, date, hours, minutes, seconds, ms
    int weekday;
};

Fields Split(double t) {
    Fields f;
    double days = std::floor(t / kMsPerDay);
    double ms = t - days * kMsPerDay;
    f.weekday = static_cast<int>(std::fmod(std::fmod(days + 4, 7) + 7, 7));
    double z = days + 719468;
    double era = std::floor(z / 146097);
    double doe = z - era * 146097;
    double yoe = std::floor((doe - std::floor(doe / 1460) + std::floor(doe / 36524) - std::floor(doe / 146096)) / 365);
    double doy = doe - (365 * yoe + std::floor(yoe / 4) - std::floor(yoe / 100));
    double mp = std::floor((5 * doy + 2) / 153);
    double d = doy - std::floor((153 * mp + 2) / 5) + 1;
    double m = mp < 10 ? mp + 3 : mp - 9;
    f.v[kYear] = yoe + era * 400 + (m <= 2 ? 1 : 0);
    f.v[kMonth] = m - 1;
    f.v[kDate] = d;
    f.v[kHours] = std::floor(ms / 3600000);
    f.v[kMinutes] = std::fmod(std::floor(ms / 60000), 60);
    f.v[kSeconds] = std::fmod(std::floor(ms / 1000), 60);
    f.v[kMs] = std::fmod(ms, 1000);
    return f;
}

// Times past 8.64e15 ms either way, and non-finite ones, are no date.
double TimeClip(double t) { return std::isfinite(t) && std::fabs(t) <= kMaxTime ? t : std::nan(""); }

double Join(const double* v) {
    double t = DaysFromCivil(v[kYear], v[kMonth], v[kDate]) * kMsPerDay + v[kHours] * 3600000 + v[kMinutes] * 60000 +
               v[kSeconds] * 1000 + v[kMs];
    return TimeClip(t);
}

double Offset(Vm& vm, double utc) { return vm.HostRef().LocalOffsetMinutes(utc) * 60000.0; }

Object* Self(CallArgs& a) {
    return a.self.IsObject() && a.self.o->cls == ObjClass::Date ? a.self.o : nullptr;
}

double FromArgs(CallArgs& a, bool utc) {
    double v[7] = {0, 0, 1, 0, 0, 0, 0};
    for (size_t i = 0; i < 7 && i < a.args.size(); ++i) v[i] = a.vm.ToNumber(a.args[i]);
    for (double d : v)
        if (!std::isfinite(d)) return std::nan("");
    if (v[kYear] >= 0 && v[kYear] < 100) v[kYear] += 1900;
    double t = Join(v);
    return utc ? t : t - Offset(a.vm, t);
}

std::string Format(Vm& vm, double t) {
    if (!std::isfinite(t)) return "Invalid Date";
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const double off = Offset(vm, t);
    Fields f = Split(t + off);
    const int offMin = static_cast<int>(off / 60000);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %.0f", kDays[f.weekday],
                  kMonths[int(f.v[kMonth])], int(f.v[kDate]), int(f.v[kHours]), int(f.v[kMinutes]),
                  int(f.v[kSeconds]), offMin < 0 ? '-' : '+', std::abs(offMin) / 60, std::abs(offMin) % 60,
                  f.v[kYear]);
    return buf;
}

Value DateCtor(CallArgs& a) {
    if (!a.construct || !a.self.IsObject()) return Value::String(Format(a.vm, a.vm.HostRef().WallClock()));
    double t;
    if (a.args.empty()) t = std::floor(a.vm.HostRef().WallClock());
    else if (a.args.size() == 1) t = TimeClip(a.vm.ToNumber(a.Arg(0)));
    else t = FromArgs(a, false);
    a.self.o->cls = ObjClass::Date;
    a.self.o->primitive = Value::Num(t);
    return Value();
}

Value DateUtc(CallArgs& a) { return Value::Num(FromArgs(a, true)); }

Value GetField(CallArgs& a) {
    Object* o = Self(a);
    if (!o) return Value();
    double t = o->primitive.n;
    if (std::isnan(t)) return Value::Num(t);
    const int magic = a.callee->fn->magic;
    if (!(magic & kUtc)) t += Offset(a.vm, t);
    Fields f = Split(t);
    switch (magic & 15) {
    case kDay: return Value::Num(f.weekday);
    case kShortYear: return Value::Num(f.v[kYear] - 1900);
    default: return Value::Num(f.v[magic & 15]);
    }
}

Value SetField(CallArgs& a) {
    Object* o = Self(a);
    if (!o) return Value();
    const int magic = a.callee->fn->magic;
    const bool utc = magic & kUtc;
    int first = magic & 15;
    double t = o->primitive.n;
    if (std::isnan(t)) t = 0;
    const double off = utc ? 0 : Offset(a.vm, t);
    Fields f = Split(t + off);
    if (first == kShortYear) first = kYear;
    for (size_t i = 0; i < a.args.size() && first + int(i) <= kMs; ++i) f.v[first + int(i)] = a.vm.ToNumber(a.args[i]);
    if ((magic & 15) == kShortYear && f.v[kYear] >= 0 && f.v[kYear] < 100) f.v[kYear] += 1900;
    double n = Join(f.v);
    o->primitive = Value::Num(std::isnan(n) ? n : n - (utc ? 0 : Offset(a.vm, n)));
    return o->primitive;
}

Value GetTime(CallArgs& a) { return Self(a) ? Self(a)->primitive : Value(); }

Value SetTime(CallArgs& a) {
    Object* o = Self(a);
    if (!o) return Value();
    double t = a.vm.ToNumber(a.Arg(0));
    o->primitive = Value::Num(TimeClip(t));
    return o->primitive;
}

Value TimezoneOffset(CallArgs& a) {
    Object* o = Self(a);
    return o ? Value::Num(-Offset(a.vm, o->primitive.n) / 60000) : Value();
}

Value ToStringD(CallArgs& a) { return Self(a) ? Value::String(Format(a.vm, Self(a)->primitive.n)) : Value(); }

}  // namespace

void InstallDate(Vm& vm) {
    vm.dateProto = vm.NewObject();
    Object* date = vm.DefineClass("Date", DateCtor, vm.dateProto);
    vm.DefineNative(date, "UTC", DateUtc);
    const std::pair<const char*, int> fields[] = {{"FullYear", kYear}, {"Month", kMonth}, {"Date", kDate},
                                                  {"Hours", kHours}, {"Minutes", kMinutes}, {"Seconds", kSeconds},
                                                  {"Milliseconds", kMs}};
    for (const auto& [name, field] : fields) {
        const std::string n = name;
        vm.DefineNative(vm.dateProto, "get" + n, GetField, field);
        vm.DefineNative(vm.dateProto, "getUTC" + n, GetField, field | kUtc);
        vm.DefineNative(vm.dateProto, "set" + n, SetField, field);
        vm.DefineNative(vm.dateProto, "setUTC" + n, SetField, field | kUtc);
    }
    vm.DefineNative(vm.dateProto, "getDay", GetField, kDay);
    vm.DefineNative(vm.dateProto, "getUTCDay", GetField, kDay | kUtc);
    vm.DefineNative(vm.dateProto, "getYear", GetField, kShortYear);
    vm.DefineNative(vm.dateProto, "getUTCYear", GetField, kShortYear | kUtc);
    vm.DefineNative(vm.dateProto, "setYear", SetField, kShortYear);
    vm.DefineNative(vm.dateProto, "getTime", GetTime);
    vm.DefineNative(vm.dateProto, "valueOf", GetTime);
    vm.DefineNative(vm.dateProto, "setTime", SetTime);
    vm.DefineNative(vm.dateProto, "getTimezoneOffset", TimezoneOffset);
    vm.DefineNative(vm.dateProto, "toString", ToStringD);
}

}  // namespace swf::avm1
