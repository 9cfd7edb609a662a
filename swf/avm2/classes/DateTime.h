// Time arithmetic on milliseconds since 1970 (UTC), as scripts count it:
// proleptic Gregorian days, local time through the host's zone.
#pragma once

#include <string>

namespace swf::avm2::datetime {

constexpr double kMsPerDay = 86400000.0;

double Day(double t);
double YearFromTime(double t);
double MonthFromTime(double t);  // 0..11
double DateFromTime(double t);   // 1..31
double WeekDay(double t);        // 0 = Sunday
double HourFromTime(double t);
double MinFromTime(double t);
double SecFromTime(double t);
double MsFromTime(double t);
double MakeTime(double h, double m, double s, double ms);
double MakeDay(double year, double month, double date);
double MakeDate(double day, double time);
double TimeClip(double t);
// The local zone's offset from UTC at UTC time t, in ms.
double ZoneOffset(double t);
double LocalTime(double t);
double Utc(double local);
// Text of the forms Date.parse accepts; NaN when it is not a date.
double Parse(const std::string& s);

}  // namespace swf::avm2::datetime
