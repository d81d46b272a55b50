#include "export/pdf/detail/PdfFontFile.h"

#include <QGlyphRun>
#include <QGuiApplication>
#include <QRawFont>
#include <QString>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "export/pdf/detail/PdfTrueType.h"
#include "export/pdf/detail/PdfWriter.h"
#include "host/graphics/QtGraphics.h"

namespace zd {

namespace {

// Widths are asked at this pixel size, so an advance is in thousandths of the em.
constexpr int kMetricsSize = 1000;

// Families of the pitch-and-family byte.
constexpr uint8_t kFamilyRoman = 0x10, kFamilySwiss = 0x20, kFamilyModern = 0x30,
                  kFamilyScript = 0x40, kFamilyDecorative = 0x50;
constexpr uint8_t kVariablePitch = 0x01, kTrueTypeBit = 0x04;
// OS/2 embedding type that forbids embedding.
constexpr uint16_t kRestrictedLicence = 0x0002;

// Panose classification (OS/2 bytes 32..41): family kind, serif style, proportion.
constexpr size_t kPanose = 32;
constexpr uint8_t kPanoseScript = 3, kPanoseDecorative = 4, kPanosePictorial = 5, kPanoseMonospaced = 9;

}  // namespace

struct TPdfFontFile::Impl {
  QRawFont raw;
  mutable std::map<std::string, std::string> tables;
  int unitsPerEm = 1000;
};

TPdfFontFile::TPdfFontFile(const TFont& font) : d_(std::make_unique<Impl>()) {
  QFont q = ToQFont(font);
  q.setPixelSize(kMetricsSize);
  q.setHintingPreference(QFont::PreferNoHinting);
  d_->raw = QRawFont::fromFont(q);
  if (d_->raw.isValid()) {
    d_->raw.setPixelSize(kMetricsSize);
    d_->unitsPerEm = int(std::lround(d_->raw.unitsPerEm()));
    if (d_->unitsPerEm <= 0) d_->unitsPerEm = 1000;
  }
}

TPdfFontFile::TPdfFontFile(std::unique_ptr<Impl> impl) : d_(std::move(impl)) {}

TPdfFontFile::~TPdfFontFile() = default;

bool TPdfFontFile::Valid() const { return d_->raw.isValid(); }

std::string TPdfFontFile::Table(const char* tag) const {
  if (!Valid()) return {};
  auto it = d_->tables.find(tag);
  if (it == d_->tables.end()) {
    const QByteArray data = d_->raw.fontTable(tag);
    it = d_->tables.emplace(tag, std::string(data.constData(), size_t(data.size()))).first;
  }
  return it->second;
}

bool TPdfFontFile::IsTrueType() const { return !Table("glyf").empty(); }

bool TPdfFontFile::IsEmbeddable() const {
  const std::string os2 = Table("OS/2");
  if (os2.size() < 10) return IsTrueType();
  return (TFontTableReader(os2, "OS/2").U16(8) & kRestrictedLicence) == 0;
}

std::string TPdfFontFile::PostScriptName() const {
  const std::string name = Table("name");
  constexpr uint16_t kPostScriptNameId = 6;
  std::string result;
  if (name.size() >= 6) {
    const TFontTableReader r(name, "name");
    const uint16_t count = r.U16(2), storage = r.U16(4);
    for (uint16_t i = 0; i < count && result.empty(); ++i) {
      const size_t rec = 6 + size_t(i) * 12;
      if (rec + 12 > r.Size()) break;
      if (r.U16(rec + 6) != kPostScriptNameId) continue;
      const uint16_t platform = r.U16(rec), length = r.U16(rec + 8), offset = r.U16(rec + 10);
      if (size_t(storage) + offset + length > r.Size()) continue;
      const std::string_view bytes = r.Bytes(size_t(storage) + offset, length);
      const bool utf16 = platform == 0 || platform == 3;
      for (size_t k = utf16 ? 1 : 0; k < bytes.size(); k += utf16 ? 2 : 1) {
        const char c = bytes[k];
        if (c > ' ' && c < 127 && c != '/' && c != '(' && c != ')' && c != '[' && c != ']' && c != '<' &&
            c != '>' && c != '{' && c != '}' && c != '%')
          result += c;
      }
    }
  }
  if (result.empty()) {
    for (QChar c : d_->raw.familyName())
      if (c.isLetterOrNumber() && c.unicode() < 127) result += char(c.unicode());
    if (result.empty()) result = "Font";
  }
  return result;
}

int TPdfFontFile::UnitsPerEm() const { return d_->unitsPerEm; }

int TPdfFontFile::Weight() const {
  const std::string os2 = Table("OS/2");
  if (os2.size() >= 6) {
    const int w = TFontTableReader(os2, "OS/2").U16(4);
    if (w >= 100 && w <= 900) return w;
  }
  return d_->raw.weight() >= QFont::Bold ? 700 : 400;
}

uint8_t TPdfFontFile::PitchAndFamily() const {
  const std::string os2 = Table("OS/2");
  const std::string post = Table("post");
  bool fixed = post.size() >= 16 && TFontTableReader(post, "post").U32(12) != 0;
  uint8_t family = kFamilySwiss;
  if (os2.size() >= kPanose + 4) {
    const TFontTableReader r(os2, "OS/2");
    const uint8_t kind = r.U8(kPanose), serif = r.U8(kPanose + 1), proportion = r.U8(kPanose + 3);
    if (proportion == kPanoseMonospaced) fixed = true;
    if (kind == kPanoseScript) family = kFamilyScript;
    else if (kind == kPanoseDecorative || kind == kPanosePictorial) family = kFamilyDecorative;
    else if (serif >= 2 && serif <= 10) family = kFamilyRoman;  // 11 to 13 are the sans serif styles
  }
  if (fixed) family = kFamilyModern;
  return uint8_t(family | (fixed ? 0 : kVariablePitch) | (IsTrueType() ? kTrueTypeBit : 0));
}

uint16_t TPdfFontFile::GlyphIndex(char32_t character) const {
  if (!Valid()) return 0;
  const QString text = QString::fromUcs4(&character, 1);
  const QList<quint32> glyphs = d_->raw.glyphIndexesForString(text);
  return glyphs.size() == 1 && glyphs[0] <= 0xFFFF ? uint16_t(glyphs[0]) : 0;
}

int TPdfFontFile::GlyphCount() const {
  const std::string maxp = Table("maxp");
  return maxp.size() >= 6 ? TFontTableReader(maxp, "maxp").U16(4) : 0;
}

int TPdfFontFile::AdvanceWidth(uint16_t glyph) const {
  if (!Valid()) return 0;
  const QList<quint32> glyphs{glyph};
  const QList<QPointF> advances = d_->raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
  return advances.isEmpty() ? 0 : int(std::lround(advances[0].x()));
}

int TPdfFontFile::Ascent() const { return Valid() ? int(std::lround(d_->raw.ascent())) : 1000; }
int TPdfFontFile::Descent() const { return Valid() ? -int(std::lround(d_->raw.descent())) : -250; }

int TPdfFontFile::CapHeight() const {
  const std::string os2 = Table("OS/2");
  constexpr size_t kCapHeight = 88;
  if (os2.size() >= kCapHeight + 2) {
    const int v = TFontTableReader(os2, "OS/2").I16(kCapHeight);
    if (v > 0) return v * 1000 / d_->unitsPerEm;
  }
  return Valid() ? int(std::lround(d_->raw.capHeight())) : 700;
}

int TPdfFontFile::ItalicAngle() const {
  const std::string post = Table("post");
  if (post.size() < 8) return 0;
  const int32_t fixed = int32_t(TFontTableReader(post, "post").U32(4));
  return int(std::lround(fixed / 65536.0));
}

TRect TPdfFontFile::BoundingBox() const {
  const std::string head = Table("head");
  if (head.size() < 44) return {0, 0, 0, 0};
  const TFontTableReader r(head, "head");
  auto scale = [this](int v) { return v * 1000 / d_->unitsPerEm; };
  return {scale(r.I16(36)), scale(r.I16(38)), scale(r.I16(40)), scale(r.I16(42))};
}

std::string TPdfFontFile::FileBytes() const {
  std::map<std::string, std::string> tables;
  for (const char* tag : {"OS/2", "cmap", "cvt ", "fpgm", "gasp", "glyf", "head", "hhea", "hmtx", "kern",
                          "loca", "maxp", "name", "post", "prep"})
    if (std::string data = Table(tag); !data.empty()) tables[tag] = std::move(data);
  return tables.empty() ? std::string() : AssembleSfnt(tables);
}

}  // namespace zd

namespace zd {

namespace {

// Characters no installed font has come in runs of Qt's box font, which has
// no font file to embed (and no family name to ask for).
bool HasFontFile(const QRawFont& raw) { return raw.isValid() && !raw.fontTable("head").isEmpty(); }

std::string faceKey(const QRawFont& raw) {
  return (raw.familyName() + '|' + raw.styleName() + '|' + QString::number(raw.weight()) + '|' +
          QString::number(int(raw.style())))
      .toStdString();
}

// One object per installed face, so that its tables are read once and a
// document embeds each face once.
std::shared_ptr<TPdfFontFile> fileOfFace(const QRawFont& raw) {
  static std::map<std::string, std::shared_ptr<TPdfFontFile>> faces;
  std::shared_ptr<TPdfFontFile>& file = faces[faceKey(raw)];
  if (!file) {
    auto impl = std::make_unique<TPdfFontFile::Impl>();
    impl->raw = raw;
    impl->raw.setPixelSize(kMetricsSize);
    impl->unitsPerEm = int(std::lround(raw.unitsPerEm()));
    if (impl->unitsPerEm <= 0) impl->unitsPerEm = 1000;
    file = std::make_shared<TPdfFontFile>(std::move(impl));
  }
  return file;
}

}  // namespace

std::shared_ptr<TPdfFontFile> PdfFontFileOf(const TFont& font) {
  QFont q = ToQFont(font);
  q.setPixelSize(kMetricsSize);
  const QRawFont raw = QRawFont::fromFont(q);
  // A Qt platform without a font database (such as "minimal") gives only
  // its box font.
  if (!HasFontFile(raw))
    throw EPdfError("no font file found for \"" + font.Name + "\" (the Qt platform \"" +
                    QGuiApplication::platformName().toStdString() + "\" provides no fonts; use \"offscreen\")");
  return fileOfFace(raw);
}

std::vector<TPdfGlyphRun> LayOutPdfText(const TFont& font, std::string_view utf8) {
  // Qt loads no usable font for glyphs this tall; the player draws no such text either.
  constexpr int kMaxPixelHeight = 4096;
  if (std::abs(font.PixelHeight()) > kMaxPixelHeight) return {};
  const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
  QTextLayout layout(text, ToQFont(font));
  layout.beginLayout();
  QTextLine line = layout.createLine();
  line.setLineWidth(1e7);
  layout.endLayout();

  // What each glyph shows: the glyphs of one character (or surrogate pair) at a time.
  std::map<std::pair<std::string, uint32_t>, std::u32string> shows;
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const std::u32string character = text.mid(i, length).toStdU32String();
    for (const QGlyphRun& run : layout.glyphRuns(int(i), int(length))) {
      if (!HasFontFile(run.rawFont())) continue;
      const std::string face = faceKey(run.rawFont());
      for (quint32 glyph : run.glyphIndexes()) shows.emplace(std::pair{face, glyph}, character);
    }
    i += length;
  }

  std::vector<TPdfGlyphRun> runs;
  for (const QGlyphRun& run : layout.glyphRuns()) {
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    if (glyphs.isEmpty() || !HasFontFile(run.rawFont())) continue;
    TPdfGlyphRun out;
    out.Font = fileOfFace(run.rawFont());
    out.RightToLeft = run.isRightToLeft();
    const std::string face = faceKey(run.rawFont());
    for (qsizetype g = 0; g < glyphs.size(); ++g) {
      out.Glyphs.push_back(glyphs[g] <= 0xFFFF ? uint16_t(glyphs[g]) : 0);
      out.X.push_back(g < positions.size() ? positions[g].x() : 0);
      const auto it = shows.find({face, glyphs[g]});
      out.Texts.push_back(it == shows.end() ? std::u32string() : it->second);
    }
    runs.push_back(std::move(out));
  }
  // Qt hands the runs out grouped by font, in no fixed order: left to right.
  std::stable_sort(runs.begin(), runs.end(),
                   [](const TPdfGlyphRun& a, const TPdfGlyphRun& b) { return a.X.front() < b.X.front(); });
  return runs;
}

}  // namespace zd
