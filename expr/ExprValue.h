#pragma once
// Value rules of the expression language: conversions, arithmetic and
// comparison over zd::TVariant, plus the general number and date texts.
#include <cstdint>
#include <string>

#include "expr/ExprErrors.h"
#include "host/core/Variant.h"
#include "host/locale/Locale.h"

namespace zd {

// The general number text: shortest form with at most 15 significant
// digits; exponent form (1E15, 1E-5) from 1E15 up and below 1E-4.
std::string FloatToStr(double v, const TLocale& loc = currentLocale());
// Strict number reading with the locale's decimal separator; surrounding blanks allowed.
bool TryStrToFloat(const std::string& s, double& out, char decimalSeparator);
double StrToFloat(const std::string& s, const TLocale& loc = currentLocale());
int64_t StrToInt(const std::string& s);  // 32-bit range: optional sign and digits, nothing else
bool TryStrToBool(const std::string& s, bool& out);

// Date-time serial numbers (days since 1899-12-30).
struct TDateTimeParts {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0, msec = 0;
};
TDateTimeParts DecodeDateTime(double serial);
bool TryEncodeDate(int y, int m, int d, double& serial);
std::string FormatDateTimeText(const std::string& format, double serial, const TLocale& loc);
double StrToDate(const std::string& s, const TLocale& loc = currentLocale());
double StrToTime(const std::string& s, const TLocale& loc = currentLocale());
double StrToDateTime(const std::string& s, const TLocale& loc = currentLocale());

std::string VarKindName(const TVariant& v);
std::string VarToStr(const TVariant& v, const TLocale& loc = currentLocale());
// Number of a value: DateTime gives its serial, String is read as a number;
// Null and unreadable text raise EConvertError.
double VarToFloat(const TVariant& v, const TLocale& loc = currentLocale());
bool VarToBool(const TVariant& v);
// Null gives 0, unconvertible values give 0; rounds half to even.
int32_t VarToNum(const TVariant& v, bool asInteger, const TLocale& loc = currentLocale());

TVariant VarAdd(const TVariant& a, const TVariant& b);
TVariant VarSub(const TVariant& a, const TVariant& b);
TVariant VarMul(const TVariant& a, const TVariant& b);
TVariant VarDiv(const TVariant& a, const TVariant& b);     // always Float
TVariant VarIntDiv(const TVariant& a, const TVariant& b);  // truncating
TVariant VarMod(const TVariant& a, const TVariant& b);
TVariant VarNeg(const TVariant& a);

bool VarEqual(const TVariant& a, const TVariant& b);
// Ordering: negative, zero or positive; Null is below everything.
int VarCompare(const TVariant& a, const TVariant& b);

}  // namespace zd
