// Date: a time value in ms since 1970 UTC, read and written as local or
// UTC fields through methods and properties, printed as the reference does.
#include <chrono>
#include <cmath>
#include <cstdio>

#include "swf/avm2/classes/Builtins.h"
#include "swf/avm2/classes/DateTime.h"

namespace swf::avm2 {

namespace {

using namespace datetime;

class DateObject : public Object {
public:
    DateObject(ClassObject* cls, Object* proto) : Object(ObjKind::Date, cls, proto) {}
    double t = NAN;
};

Object* AllocDate(Machine& m, ClassObject* cls) { return m.New<DateObject>(cls, cls->prototype); }

DateObject* Self(Machine& m, const Value& v) {
    if (!v.IsObject() || v.o->kind != ObjKind::Date)
        m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(v) + " to Date.");
    return static_cast<DateObject*>(v.o);
}

double Now() {
    using namespace std::chrono;
    return double(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

enum Field { kYear, kMonth, kDate, kHour, kMinute, kSecond, kMs, kDay };

void Split(double t, double f[8]) {
    f[kYear] = YearFromTime(t);
    f[kMonth] = MonthFromTime(t);
    f[kDate] = DateFromTime(t);
    f[kHour] = HourFromTime(t);
    f[kMinute] = MinFromTime(t);
    f[kSecond] = SecFromTime(t);
    f[kMs] = MsFromTime(t);
    f[kDay] = WeekDay(t);
}

double Join(const double f[7]) {
    return MakeDate(MakeDay(f[kYear], f[kMonth], f[kDate]), MakeTime(f[kHour], f[kMinute], f[kSecond], f[kMs]));
}

// From fields (year, month[, date, hours, minutes, seconds, ms]) as the
// constructor and Date.UTC take them; years 0..99 are 1900's.
double FromArgs(Machine& m, Args args, int argc) {
    double f[7] = {NAN, 0, 1, 0, 0, 0, 0};
    for (int i = 0; i < 7 && i < argc; ++i) f[i] = m.ToNumber(args[i]);
    if (std::isfinite(f[kYear])) {
        double y = std::trunc(f[kYear]);
        if (y >= 0 && y <= 99) f[kYear] = 1900 + y;
    }
    return Join(f);
}

Value DateInit(Machine& m, Value self, Args args, int argc) {
    DateObject* d = Self(m, self);
    if (argc == 0) d->t = Now();
    else if (argc == 1) {
        Value v = args[0];
        if (v.IsObject() && v.o->kind == ObjKind::Date) d->t = static_cast<DateObject*>(v.o)->t;
        else if (v.IsString()) d->t = Parse(v.s->text);
        else d->t = TimeClip(m.ToNumber(v));
    } else {
        d->t = TimeClip(Utc(FromArgs(m, args, argc)));
    }
    return Value::Undefined();
}

const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

enum class Form { Full, DateOnly, TimeOnly, Locale, LocaleDate, LocaleTime, Utc };

std::string Format(double t, Form form) {
    if (std::isnan(t)) return "Invalid Date";
    const bool utc = form == Form::Utc;
    double offset = utc ? 0 : ZoneOffset(t);
    double f[8];
    Split(t + offset, f);
    char day[32], time[32], zone[16], clock12[32];
    std::snprintf(day, sizeof day, "%s %s %d", kDays[int(f[kDay])], kMonths[int(f[kMonth])], int(f[kDate]));
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", int(f[kHour]), int(f[kMinute]), int(f[kSecond]));
    int mins = int(std::fabs(offset) / 60000);
    std::snprintf(zone, sizeof zone, "GMT%c%02d%02d", offset < 0 ? '-' : '+', mins / 60, mins % 60);
    int h12 = int(f[kHour]) % 12;
    std::snprintf(clock12, sizeof clock12, "%d:%02d:%02d %s", h12 ? h12 : 12, int(f[kMinute]), int(f[kSecond]),
                  f[kHour] < 12 ? "AM" : "PM");
    std::string year = std::to_string(int64_t(f[kYear]));
    switch (form) {
    case Form::Full: return std::string(day) + " " + time + " " + zone + " " + year;
    case Form::DateOnly:
    case Form::LocaleDate: return std::string(day) + " " + year;
    case Form::TimeOnly: return std::string(time) + " " + zone;
    case Form::Locale: return std::string(day) + " " + year + " " + clock12;
    case Form::LocaleTime: return clock12;
    case Form::Utc: return std::string(day) + " " + time + " " + year + " UTC";
    }
    return "";
}

template <Form F>
Value ToText(Machine& m, Value self, Args, int) {
    return Value::Str(m.Str(Format(Self(m, self)->t, F)));
}

Value GetTime(Machine& m, Value self, Args, int) { return Value::Number(Self(m, self)->t); }

Value SetTime(Machine& m, Value self, Args args, int argc) {
    DateObject* d = Self(m, self);
    d->t = TimeClip(m.ToNumber(Arg(args, argc, 0)));
    return Value::Number(d->t);
}

Value TimezoneOffset(Machine& m, Value self, Args, int) {
    double t = Self(m, self)->t;
    if (std::isnan(t)) return Value::Number(NAN);
    return Value::Number(-ZoneOffset(t) / 60000);
}

template <int F, bool U>
Value GetField(Machine& m, Value self, Args, int) {
    double t = Self(m, self)->t;
    if (std::isnan(t)) return Value::Number(NAN);
    double f[8];
    Split(U ? t : LocalTime(t), f);
    return Value::Number(f[F]);
}

// setFullYear(y, m, d), setHours(h, m, s, ms)...: the fields from F on,
// at most N of them. A date with no time starts from 0 for the year only.
template <int F, int N, bool U>
Value SetFields(Machine& m, Value self, Args args, int argc) {
    DateObject* d = Self(m, self);
    double t = d->t;
    if (std::isnan(t)) {
        if (F != kYear) {
            for (int i = 0; i < argc && i < N; ++i) m.ToNumber(args[i]);
            return Value::Number(NAN);
        }
        t = 0;
    } else if (!U) {
        t = LocalTime(t);
    }
    double f[8];
    Split(t, f);
    int given = argc < 1 ? 1 : argc;
    for (int i = 0; i < N && i < given; ++i) f[F + i] = m.ToNumber(Arg(args, argc, i));
    double r = Join(f);
    d->t = TimeClip(U ? r : Utc(r));
    return Value::Number(d->t);
}

Value DateParse(Machine& m, Value, Args args, int argc) {
    return Value::Number(Parse(m.ToStdString(Arg(args, argc, 0))));
}

Value DateUtc(Machine& m, Value, Args args, int argc) { return Value::Number(TimeClip(FromArgs(m, args, argc))); }

Value DateCall(Machine& m, Value, Args, int) { return Value::Str(m.Str(Format(Now(), Form::Full))); }

template <int F, int N>
void DefineField(Machine& m, ClassObject* c, const std::string& name, bool withSetter, bool hasGet = true) {
    if (hasGet) {
        m.DefineMethod(c, "get" + name, GetField<F, false>, 0);
        m.DefineMethod(c, "getUTC" + name, GetField<F, true>, 0);
    }
    if (withSetter) {
        m.DefineMethod(c, "set" + name, SetFields<F, N, false>, N);
        m.DefineMethod(c, "setUTC" + name, SetFields<F, N, true>, N);
    }
    std::string prop = name == "FullYear" ? "fullYear" : name == "Date" ? "date" : name == "Day" ? "day"
                     : std::string(1, char(name[0] + 32)) + name.substr(1);
    m.DefineGetter(c, prop, GetField<F, false>, withSetter ? SetFields<F, 1, false> : nullptr);
    m.DefineGetter(c, prop + "UTC", GetField<F, true>, withSetter ? SetFields<F, 1, true> : nullptr);
}

}  // namespace

void InstallDate(Machine& m) {
    ClassObject* c = m.DefineClass("", "Date", m.objectClass, AllocDate, false);
    m.dateClass = c;
    c->init = m.NewNativeMethod("Date", DateInit, 7);
    m.DefineConstant(c, "length", Value::Int(7));
    c->call = DateCall;
    DefineField<kYear, 3>(m, c, "FullYear", true);
    DefineField<kMonth, 2>(m, c, "Month", true);
    DefineField<kDate, 1>(m, c, "Date", true);
    DefineField<kDay, 1>(m, c, "Day", false);
    DefineField<kHour, 4>(m, c, "Hours", true);
    DefineField<kMinute, 3>(m, c, "Minutes", true);
    DefineField<kSecond, 2>(m, c, "Seconds", true);
    DefineField<kMs, 1>(m, c, "Milliseconds", true);
    m.DefineMethod(c, "getTime", GetTime, 0);
    m.DefineMethod(c, "valueOf", GetTime, 0);
    m.DefineMethod(c, "setTime", SetTime, 1);
    m.DefineMethod(c, "getTimezoneOffset", TimezoneOffset, 0);
    m.DefineGetter(c, "time", GetTime, SetTime);
    m.DefineGetter(c, "timezoneOffset", TimezoneOffset);
    m.DefineMethod(c, "toString", ToText<Form::Full>, 0);
    m.DefineMethod(c, "toDateString", ToText<Form::DateOnly>, 0);
    m.DefineMethod(c, "toTimeString", ToText<Form::TimeOnly>, 0);
    m.DefineMethod(c, "toLocaleString", ToText<Form::Locale>, 0);
    m.DefineMethod(c, "toLocaleDateString", ToText<Form::LocaleDate>, 0);
    m.DefineMethod(c, "toLocaleTimeString", ToText<Form::LocaleTime>, 0);
    m.DefineMethod(c, "toUTCString", ToText<Form::Utc>, 0);
    m.DefineMethod(c, "toJSON", ToText<Form::Full>, 1);
    m.DefineStatic(c, "parse", DateParse, 1);
    m.DefineStatic(c, "UTC", DateUtc, 7);
}

}  // namespace swf::avm2
