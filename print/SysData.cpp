#include "print/SysData.h"

#include <array>
#include <stdexcept>
#include <string>

#include "host/core/TextUtil.h"
#include "print/Language.h"
#include "print/TextIds.h"

namespace zd {

namespace {

struct SysDataInfo {
  const char* englishName;
  TFieldType fieldType;
  const char* defaultFormat;
};

constexpr const char* kIntegerFormat = "@N @ND0 @NR1 ";
constexpr const char* kTextFormat = "@C ";

// In TZdqSysDataType order.
constexpr std::array<SysDataInfo, SysDataTypeCount> kSysData{{
    {"Date", TFieldType::ftDate, "@D @DS "},
    {"Time", TFieldType::ftTime, "@T @TS "},
    {"DateTime", TFieldType::ftDateTime, "@D @DS @T @TS "},
    {"Author", TFieldType::ftString, kTextFormat},
    {"ReportTitle", TFieldType::ftString, kTextFormat},
    {"Subject", TFieldType::ftString, kTextFormat},
    {"Keywords", TFieldType::ftString, kTextFormat},
    {"PageNo", TFieldType::ftInteger, kIntegerFormat},
    {"PageCount", TFieldType::ftInteger, kIntegerFormat},
    {"BarNo", TFieldType::ftInteger, kIntegerFormat},
    {"BarCount", TFieldType::ftInteger, kIntegerFormat},
    {"ColumnNo", TFieldType::ftInteger, kIntegerFormat},
    {"ColumnCount", TFieldType::ftInteger, kIntegerFormat},
    {"DetailNo", TFieldType::ftInteger, kIntegerFormat},
    {"BandLineNo", TFieldType::ftInteger, kIntegerFormat},
}};

int OrdinalOf(TZdqSysDataType kind) {
  const int ordinal = static_cast<int>(kind);
  if (ordinal < 0 || ordinal >= SysDataTypeCount)
    throw std::out_of_range("system data kind out of range: " + std::to_string(ordinal));
  return ordinal;
}

const SysDataInfo& InfoOf(TZdqSysDataType kind) { return kSysData[OrdinalOf(kind)]; }

}  // namespace

const char* SysDataEnglishName(TZdqSysDataType kind) { return InfoOf(kind).englishName; }

std::optional<TZdqSysDataType> SysDataByEnglishName(const std::string& name) {
  const std::string wanted = UpperCase(Trim(name));
  for (int i = 0; i < SysDataTypeCount; ++i)
    if (wanted == UpperCase(SysDataEnglishName(TZdqSysDataType(i)))) return TZdqSysDataType(i);
  return std::nullopt;
}

bool IsPageValue(TZdqSysDataType kind) {
  return kind == TZdqSysDataType::sdPageNo || kind == TZdqSysDataType::sdBarNo ||
         kind == TZdqSysDataType::sdColumnNo;
}

TFieldType SysDataFieldType(TZdqSysDataType kind) { return InfoOf(kind).fieldType; }

const char* SysDataDefaultFormat(TZdqSysDataType kind) { return InfoOf(kind).defaultFormat; }

std::string GetSysDataName(int languageShift, TZdqSysDataType kind) {
  return GetString(languageShift, txt::SysDataNames + OrdinalOf(kind));
}

}  // namespace zd
