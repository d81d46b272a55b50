#pragma once
// System values a report can print: names (English names are what
// expressions use), field types and default display formats.
#include <optional>
#include <string>

#include "host/data/FieldType.h"

namespace zd {

enum class TZdqSysDataType {
  sdDate, sdTime, sdDateTime, sdAuthor, sdReportTitle, sdSubject, sdKeywords, sdPageNo,
  sdPageCount, sdBarNo, sdBarCount, sdColumnNo, sdColumnCount, sdDetailNo, sdBandLineNo
};
constexpr int SysDataTypeCount = 15;

const char* SysDataEnglishName(TZdqSysDataType kind);
// The system value an expression name stands for, ignoring case and blanks.
std::optional<TZdqSysDataType> SysDataByEnglishName(const std::string& name);
// Page, bar and column numbers: the values that change when a page starts.
bool IsPageValue(TZdqSysDataType kind);
TFieldType SysDataFieldType(TZdqSysDataType kind);
const char* SysDataDefaultFormat(TZdqSysDataType kind);
// Display name in a language: text 1030 + ordinal.
std::string GetSysDataName(int languageShift, TZdqSysDataType kind);

}  // namespace zd
