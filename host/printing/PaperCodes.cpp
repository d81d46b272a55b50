#include "host/printing/PaperCodes.h"

#include <algorithm>
#include <cmath>

namespace zd::printing {
namespace {

struct CodeEntry {
  int code;
  QPageSize::PageSizeId id;
  bool transverse;  // the size turned on its side, which Qt has no id for
};

// In driver order; where two numbers share a Qt size the first one wins on
// the way back.
constexpr CodeEntry kCodes[] = {
    {1, QPageSize::Letter, false},         {2, QPageSize::LetterSmall, false},
    {3, QPageSize::Tabloid, false},        {4, QPageSize::Ledger, false},
    {5, QPageSize::Legal, false},          {6, QPageSize::Statement, false},
    {7, QPageSize::Executive, false},      {8, QPageSize::A3, false},
    {9, QPageSize::A4, false},             {10, QPageSize::A4Small, false},
    {11, QPageSize::A5, false},            {12, QPageSize::B4, false},
    {13, QPageSize::JisB5, false},         {14, QPageSize::FanFoldGermanLegal, false},
    {15, QPageSize::Quarto, false},        {16, QPageSize::Imperial10x14, false},
    {17, QPageSize::Tabloid, false},       {18, QPageSize::Note, false},
    {19, QPageSize::Envelope9, false},     {20, QPageSize::Comm10E, false},
    {21, QPageSize::Envelope11, false},    {22, QPageSize::Envelope12, false},
    {23, QPageSize::Envelope14, false},    {24, QPageSize::AnsiC, false},
    {25, QPageSize::AnsiD, false},         {26, QPageSize::AnsiE, false},
    {55, QPageSize::A4, true},             {66, QPageSize::A2, false},
    {67, QPageSize::A3, true},
};

QPageSize transversed(QPageSize::PageSizeId id, int code) {
  const QSizeF mm = QPageSize::size(id, QPageSize::Millimeter);
  return QPageSize(mm.transposed(), QPageSize::Millimeter,
                   QPageSize::name(id) + QStringLiteral(" Transverse (%1)").arg(code),
                   QPageSize::ExactMatch);
}

}  // namespace

std::optional<QPageSize> PageSizeForCode(int code) {
  for (const CodeEntry& e : kCodes)
    if (e.code == code) return e.transverse ? transversed(e.id, e.code) : QPageSize(e.id);
  return std::nullopt;
}

int CodeForPageSize(const QPageSize& size) {
  if (size.id() != QPageSize::Custom) {
    for (const CodeEntry& e : kCodes)
      if (!e.transverse && e.id == size.id()) return e.code;
    return CustomPaperCode;
  }
  for (const CodeEntry& e : kCodes) {
    if (!e.transverse) continue;
    const QPageSize upright(e.id);
    if (WidthTenths(size) == LengthTenths(upright) && LengthTenths(size) == WidthTenths(upright))
      return e.code;
  }
  return CustomPaperCode;
}

std::vector<std::string> KnownPaperNames() {
  std::vector<std::string> names;
  for (const CodeEntry& e : kCodes) {
    if (e.transverse) continue;  // the same paper, fed on its side
    const std::string name = QPageSize(e.id).name().toStdString();
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

QPageSize CustomPageSize(int widthTenths, int lengthTenths) {
  return QPageSize(QSizeF(widthTenths / 10.0, lengthTenths / 10.0), QPageSize::Millimeter,
                   QString(), QPageSize::ExactMatch);
}

int WidthTenths(const QPageSize& size) {
  return int(std::lround(size.size(QPageSize::Millimeter).width() * 10));
}
int LengthTenths(const QPageSize& size) {
  return int(std::lround(size.size(QPageSize::Millimeter).height() * 10));
}

}  // namespace zd::printing
