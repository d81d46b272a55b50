#include "host/richtext/RtfReader.h"

#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/locale/TextCodec.h"
#include "host/richtext/CodePage.h"
#include "host/richtext/detail/RtfLexer.h"

namespace zd {

namespace {

// Paragraph distances beyond this many twips (22 inches) are clamped.
constexpr int kMaxDistance = 31680;
constexpr size_t kMaxTabStops = 32;
constexpr int kMaxUnicodeSkip = 64;

enum class TDest : uint8_t { Body, FontTable, ColorTable, Skip };

struct TCharState {
  int Font = -1;  // -1: the document's default font
  std::optional<int> HalfPoints;
  std::optional<bool> Bold, Italic, Underline, StrikeOut;
  int Color = 0, Back = 0;
  bool Hidden = false;
};

struct TGroupState {
  TDest Dest = TDest::Body;
  TCharState Char;
  TParaFormat Para;
  int LineValue = 0;   // \sl as written; the rule depends on \slmult too
  bool LineMultiple = false;
  int UnicodeSkip = 1;
};

struct TFontEntry {
  std::string Name;
  int Charset = 1;
  int CodePage = 0;  // \cpg; 0 when the charset decides
};

enum class TWord : uint8_t {
  Par, Line, Tab, Cell, Special, Unicode, UnicodeSkip, AnsiCodePage, CharsetCp, DefaultFont,
  FontTable, ColorTable, SkipDest, Plain, Pard, Font, FontSize, Bold, Italic, Underline,
  UnderlineNone, Strike, Color, Back, Hidden, AlignLeft, AlignRight, AlignCenter, AlignJustify,
  LeftIndent, RightIndent, FirstIndent, SpaceBefore, SpaceAfter, LineSpacing, LineMultiple,
  TabStop, Binary, FontCharset, CodePage, Red, Green, Blue,
};

struct TWordInfo {
  TWord Kind;
  int Value = 0;  // code point for Special, code page for CharsetCp
};

const std::unordered_map<std::string_view, TWordInfo>& wordTable() {
  static const std::unordered_map<std::string_view, TWordInfo> t = [] {
    std::unordered_map<std::string_view, TWordInfo> m = {
        {"par", {TWord::Par}}, {"sect", {TWord::Par}}, {"row", {TWord::Par}},
        {"line", {TWord::Line}}, {"tab", {TWord::Tab}}, {"cell", {TWord::Cell}},
        {"emdash", {TWord::Special, 0x2014}}, {"endash", {TWord::Special, 0x2013}},
        {"bullet", {TWord::Special, 0x2022}}, {"lquote", {TWord::Special, 0x2018}},
        {"rquote", {TWord::Special, 0x2019}}, {"ldblquote", {TWord::Special, 0x201C}},
        {"rdblquote", {TWord::Special, 0x201D}}, {"emspace", {TWord::Special, 0x2003}},
        {"enspace", {TWord::Special, 0x2002}}, {"qmspace", {TWord::Special, 0x2005}},
        {"u", {TWord::Unicode}}, {"uc", {TWord::UnicodeSkip}},
        {"ansicpg", {TWord::AnsiCodePage}}, {"ansi", {TWord::CharsetCp, 1252}},
        {"mac", {TWord::CharsetCp, 10000}}, {"pc", {TWord::CharsetCp, 437}},
        {"pca", {TWord::CharsetCp, 850}}, {"deff", {TWord::DefaultFont}},
        {"fonttbl", {TWord::FontTable}}, {"colortbl", {TWord::ColorTable}},
        {"plain", {TWord::Plain}}, {"pard", {TWord::Pard}}, {"f", {TWord::Font}},
        {"fs", {TWord::FontSize}}, {"b", {TWord::Bold}}, {"i", {TWord::Italic}},
        {"ul", {TWord::Underline}}, {"uld", {TWord::Underline}}, {"uldb", {TWord::Underline}},
        {"ulw", {TWord::Underline}}, {"uldash", {TWord::Underline}}, {"ulth", {TWord::Underline}},
        {"ulwave", {TWord::Underline}}, {"ulnone", {TWord::UnderlineNone}},
        {"strike", {TWord::Strike}}, {"striked", {TWord::Strike}}, {"cf", {TWord::Color}},
        {"cb", {TWord::Back}}, {"highlight", {TWord::Back}}, {"chcbpat", {TWord::Back}},
        {"v", {TWord::Hidden}}, {"ql", {TWord::AlignLeft}}, {"qr", {TWord::AlignRight}},
        {"qc", {TWord::AlignCenter}}, {"qj", {TWord::AlignJustify}}, {"qd", {TWord::AlignJustify}},
        {"li", {TWord::LeftIndent}}, {"lin", {TWord::LeftIndent}}, {"ri", {TWord::RightIndent}},
        {"rin", {TWord::RightIndent}}, {"fi", {TWord::FirstIndent}}, {"sb", {TWord::SpaceBefore}},
        {"sa", {TWord::SpaceAfter}}, {"sl", {TWord::LineSpacing}}, {"slmult", {TWord::LineMultiple}},
        {"tx", {TWord::TabStop}}, {"bin", {TWord::Binary}}, {"fcharset", {TWord::FontCharset}},
        {"cpg", {TWord::CodePage}}, {"red", {TWord::Red}}, {"green", {TWord::Green}},
        {"blue", {TWord::Blue}},
    };
    // Destinations whose text is not body text.
    for (std::string_view d :
         {"info", "stylesheet", "pict", "header", "headerl", "headerr", "headerf", "footer",
          "footerl", "footerr", "footerf", "fldinst", "object", "footnote", "annotation",
          "listtable", "listoverridetable", "revtbl", "rsidtbl", "filetbl", "xmlnstbl",
          "themedata", "colorschememapping", "datastore", "latentstyles", "generator",
          "nonshppict", "shpinst", "pgdsctbl", "bkmkstart", "bkmkend", "template", "userprops",
          "txe", "xe", "tc", "atnid", "atnauthor", "fchars", "lchars", "pntxta", "pntxtb",
          "private", "objdata", "result", "mmathPr", "wgrffmtfilter"})
      m.emplace(d, TWordInfo{TWord::SkipDest});
    return m;
  }();
  return t;
}

class TRtfInterpreter {
 public:
  explicit TRtfInterpreter(std::string_view data) : lexer_(data) {}
  TRichDocument Run();

 private:
  TRtfLexer lexer_;
  std::vector<TGroupState> stack_;
  TGroupState last_;  // state of the outermost group when it closed
  TRichDocument doc_;
  TRichParagraph para_;
  std::map<int, TFontEntry> fonts_;
  std::vector<std::optional<TColor>> colors_;
  int ansiCodePage_ = 1252;
  int defaultFont_ = -1;
  std::string pending_;  // text bytes awaiting decoding
  int pendingCodePage_ = 1252;
  int skipCount_ = 0;    // characters still to skip after \u
  char16_t highSurrogate_ = 0;
  // Font-table entry and colour-table entry under construction.
  bool entryOpen_ = false;
  int entryNumber_ = 0;
  TFontEntry entry_;
  int rgb_[3] = {0, 0, 0};
  bool rgbSet_ = false;

  TGroupState& state() { return stack_.back(); }
  void openGroup();
  void closeGroup();
  void controlWord(const TRtfToken& t);
  void bodyWord(const TRtfToken& t, const TWordInfo& info);
  void fontTableWord(const TRtfToken& t, TWord kind);
  void controlSymbol(unsigned char c);
  void textByte(const TRtfToken& t);
  void flush();
  void appendText(const std::string& utf8);
  void appendCodePoint(char32_t cp);
  void unicodeChar(int param);
  void endParagraph(const TGroupState& s);
  void commitFontEntry();
  void updateLineRule();
  int codePageOf(const TCharState& c) const;
  std::optional<TColor> colorAt(int index) const;
  TRunFormat formatOf(const TCharState& c) const;
};

TRichDocument TRtfInterpreter::Run() {
  for (;;) {
    const TRtfToken t = lexer_.Next();
    if (t.kind == TRtfToken::Eof) break;
    if (t.kind == TRtfToken::GroupOpen || t.kind == TRtfToken::GroupClose) {
      skipCount_ = 0;  // \u replacement text never crosses a group boundary
      flush();
      if (t.kind == TRtfToken::GroupOpen) {
        openGroup();
      } else if (!stack_.empty()) {
        closeGroup();
        if (stack_.empty()) break;  // anything after the document's group is ignored
      }
      continue;
    }
    if (stack_.empty()) continue;  // bytes before the first group
    if (skipCount_ > 0) {
      --skipCount_;
      if (t.kind == TRtfToken::ControlWord && t.Word == "bin") lexer_.SkipBytes(t.Param);
      continue;
    }
    if (t.kind == TRtfToken::Byte) {
      textByte(t);
      continue;
    }
    flush();
    if (t.kind == TRtfToken::ControlWord) controlWord(t);
    else controlSymbol(t.Value);
  }
  flush();
  const TGroupState& s = stack_.empty() ? last_ : stack_.back();
  if (!para_.Runs.empty()) endParagraph(s);
  return std::move(doc_);
}

void TRtfInterpreter::openGroup() {
  if (int(stack_.size()) >= TRtfReader::kMaxGroupDepth)
    throw AtOffset(ERtfError("rich text groups are nested deeper than " +
                             std::to_string(TRtfReader::kMaxGroupDepth) + " levels"),
                   lexer_.Position() - 1);  // at the brace that opens one too many
  stack_.push_back(stack_.empty() ? TGroupState{} : stack_.back());
}

void TRtfInterpreter::closeGroup() {
  const TDest dest = state().Dest;
  if (dest == TDest::FontTable) commitFontEntry();
  if (stack_.size() == 1) last_ = stack_.back();
  stack_.pop_back();
}

void TRtfInterpreter::controlWord(const TRtfToken& t) {
  const auto& table = wordTable();
  const auto it = table.find(t.Word);
  if (it == table.end()) return;  // unknown words are ignored, as the format asks
  const TWordInfo& info = it->second;
  if (info.Kind == TWord::Binary) {
    lexer_.SkipBytes(t.HasParam ? t.Param : 0);
    return;
  }
  switch (state().Dest) {
    case TDest::Skip: return;
    case TDest::FontTable: return fontTableWord(t, info.Kind);
    case TDest::ColorTable:
      if (info.Kind == TWord::Red || info.Kind == TWord::Green || info.Kind == TWord::Blue) {
        rgb_[int(info.Kind) - int(TWord::Red)] = std::clamp(t.Param, 0, 255);
        rgbSet_ = true;
      }
      return;
    case TDest::Body: return bodyWord(t, info);
  }
}

void TRtfInterpreter::fontTableWord(const TRtfToken& t, TWord kind) {
  switch (kind) {
    case TWord::Font:
      commitFontEntry();
      entryOpen_ = true;
      entryNumber_ = t.Param;
      entry_ = TFontEntry{};
      break;
    case TWord::FontCharset: entry_.Charset = std::clamp(t.Param, 0, 255); break;
    case TWord::CodePage: entry_.CodePage = std::max(t.Param, 0); break;
    case TWord::SkipDest: state().Dest = TDest::Skip; break;
    default: break;
  }
}

void TRtfInterpreter::bodyWord(const TRtfToken& t, const TWordInfo& info) {
  TGroupState& s = state();
  TCharState& c = s.Char;
  TParaFormat& p = s.Para;
  const bool on = !t.HasParam || t.Param != 0;
  const int dist = std::clamp(t.Param, -kMaxDistance, kMaxDistance);
  switch (info.Kind) {
    case TWord::Par: endParagraph(s); break;
    case TWord::Line: appendText("\n"); break;
    case TWord::Tab: case TWord::Cell: appendText("\t"); break;
    case TWord::Special: appendCodePoint(char32_t(info.Value)); break;
    case TWord::Unicode: unicodeChar(t.Param); break;
    case TWord::UnicodeSkip: s.UnicodeSkip = std::clamp(t.Param, 0, kMaxUnicodeSkip); break;
    case TWord::AnsiCodePage: if (t.Param > 0) ansiCodePage_ = t.Param; break;
    case TWord::CharsetCp: ansiCodePage_ = info.Value; break;
    case TWord::DefaultFont: defaultFont_ = t.Param; break;
    case TWord::FontTable: s.Dest = TDest::FontTable; entryOpen_ = false; break;
    case TWord::ColorTable:
      s.Dest = TDest::ColorTable;
      colors_.clear();
      rgbSet_ = false;
      break;
    case TWord::SkipDest: s.Dest = TDest::Skip; break;
    case TWord::Plain: c = TCharState{}; break;
    case TWord::Pard:
      p = TParaFormat{};
      s.LineValue = 0;
      s.LineMultiple = false;
      break;
    case TWord::Font: c.Font = t.Param; break;
    case TWord::FontSize:
      if (!t.HasParam) c.HalfPoints = 24;
      else if (t.Param > 0) c.HalfPoints = t.Param;
      else c.HalfPoints.reset();
      break;
    case TWord::Bold: c.Bold = on; break;
    case TWord::Italic: c.Italic = on; break;
    case TWord::Underline: c.Underline = on; break;
    case TWord::UnderlineNone: c.Underline = false; break;
    case TWord::Strike: c.StrikeOut = on; break;
    case TWord::Color: c.Color = t.Param; break;
    case TWord::Back: c.Back = t.Param; break;
    case TWord::Hidden: c.Hidden = on; break;
    case TWord::AlignLeft: p.Alignment = TParaAlignment::paLeft; break;
    case TWord::AlignRight: p.Alignment = TParaAlignment::paRight; break;
    case TWord::AlignCenter: p.Alignment = TParaAlignment::paCenter; break;
    case TWord::AlignJustify: p.Alignment = TParaAlignment::paJustify; break;
    case TWord::LeftIndent: p.LeftIndent = dist; break;
    case TWord::RightIndent: p.RightIndent = dist; break;
    case TWord::FirstIndent: p.FirstIndent = dist; break;
    case TWord::SpaceBefore: p.SpaceBefore = std::max(dist, 0); break;
    case TWord::SpaceAfter: p.SpaceAfter = std::max(dist, 0); break;
    case TWord::LineSpacing: s.LineValue = dist; updateLineRule(); break;
    case TWord::LineMultiple: s.LineMultiple = on; updateLineRule(); break;
    case TWord::TabStop: {
      auto& tabs = p.TabStops;
      const int pos = std::max(dist, 0);
      const auto at = std::lower_bound(tabs.begin(), tabs.end(), pos);
      if ((at == tabs.end() || *at != pos) && tabs.size() < kMaxTabStops) tabs.insert(at, pos);
      break;
    }
    default: break;
  }
}

void TRtfInterpreter::updateLineRule() {
  TGroupState& s = state();
  TParaFormat& p = s.Para;
  if (s.LineValue == 0) {
    p.LineRule = TLineSpacingRule::lsAuto;
    p.LineSpacing = 0;
  } else if (s.LineValue < 0) {
    p.LineRule = TLineSpacingRule::lsExactly;
    p.LineSpacing = -s.LineValue;
  } else {
    p.LineRule = s.LineMultiple ? TLineSpacingRule::lsMultiple : TLineSpacingRule::lsAtLeast;
    p.LineSpacing = s.LineValue;
  }
}

void TRtfInterpreter::controlSymbol(unsigned char c) {
  if (c == '*') {
    state().Dest = TDest::Skip;  // no starred destination renders as text here
    return;
  }
  if (state().Dest != TDest::Body) return;
  switch (c) {
    case '\\': case '{': case '}': appendText(std::string(1, char(c))); break;
    case '~': appendCodePoint(0x00A0); break;
    case '_': appendText("-"); break;
    case '\t': appendText("\t"); break;
    default: break;  // optional hyphen, index subentry and unknown symbols
  }
}

void TRtfInterpreter::textByte(const TRtfToken& t) {
  const TDest dest = state().Dest;
  if (dest == TDest::Skip) return;
  if (dest == TDest::ColorTable) {
    if (t.Value == ';') {
      colors_.push_back(rgbSet_ ? std::optional<TColor>(RGBColor(rgb_[0], rgb_[1], rgb_[2]))
                                : std::nullopt);
      rgb_[0] = rgb_[1] = rgb_[2] = 0;
      rgbSet_ = false;
    }
    return;
  }
  if (dest == TDest::FontTable) {
    if (t.Value == ';' && !t.Escaped) commitFontEntry();
    else if (entryOpen_ && (t.Escaped || t.Value >= 0x20)) entry_.Name += char(t.Value);
    return;
  }
  if (!t.Escaped && t.Value < 0x20) {
    if (t.Value == '\t') appendText("\t");
    return;  // raw control bytes are not text
  }
  const int cp = codePageOf(state().Char);
  if (!pending_.empty() && cp != pendingCodePage_) flush();
  pendingCodePage_ = cp;
  pending_ += char(t.Value);
}

void TRtfInterpreter::flush() {
  if (pending_.empty()) return;
  std::string text;
  TCodePageDecoder(pendingCodePage_).Decode(pending_, text);
  pending_.clear();
  appendText(text);
}

void TRtfInterpreter::unicodeChar(int param) {
  const char16_t unit = char16_t(param < 0 ? param + 65536 : param);
  skipCount_ = state().UnicodeSkip;
  // A high surrogate waits for the unit after it; the codec pairs the two or
  // turns a lone one into U+FFFD.
  std::u16string units;
  if (highSurrogate_) units += std::exchange(highSurrogate_, 0);
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    highSurrogate_ = unit;
    if (units.empty()) return;
  } else {
    units += unit;
  }
  appendText(Utf16ToUtf8(units));
}

void TRtfInterpreter::appendCodePoint(char32_t cp) {
  std::string s;
  AppendUtf8(cp, s);
  appendText(s);
}

void TRtfInterpreter::appendText(const std::string& utf8) {
  if (stack_.empty() || state().Dest != TDest::Body || state().Char.Hidden || utf8.empty()) return;
  TRunFormat fmt = formatOf(state().Char);
  if (!para_.Runs.empty() && para_.Runs.back().Format == fmt) para_.Runs.back().Text += utf8;
  else para_.Runs.push_back(TRichRun{utf8, std::move(fmt)});
}

void TRtfInterpreter::endParagraph(const TGroupState& s) {
  para_.Format = s.Para;
  para_.EndFormat = formatOf(s.Char);
  doc_.Paragraphs.push_back(std::move(para_));
  para_ = TRichParagraph{};
}

void TRtfInterpreter::commitFontEntry() {
  if (!entryOpen_) return;
  entryOpen_ = false;
  std::string name;
  const int cp = entry_.CodePage ? entry_.CodePage : CodePageOfCharset(entry_.Charset, ansiCodePage_);
  TCodePageDecoder(cp).Decode(entry_.Name, name);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  while (!name.empty() && name.front() == ' ') name.erase(name.begin());
  entry_.Name = name;
  fonts_[entryNumber_] = entry_;
}

int TRtfInterpreter::codePageOf(const TCharState& c) const {
  const auto it = fonts_.find(c.Font >= 0 ? c.Font : defaultFont_);
  if (it == fonts_.end()) return ansiCodePage_;
  if (it->second.CodePage) return it->second.CodePage;
  return CodePageOfCharset(it->second.Charset, ansiCodePage_);
}

std::optional<TColor> TRtfInterpreter::colorAt(int index) const {
  if (index < 0 || size_t(index) >= colors_.size()) return std::nullopt;
  return colors_[size_t(index)];
}

TRunFormat TRtfInterpreter::formatOf(const TCharState& c) const {
  TRunFormat f;
  const auto it = fonts_.find(c.Font >= 0 ? c.Font : defaultFont_);
  if (it != fonts_.end()) {
    if (!it->second.Name.empty()) f.FontName = it->second.Name;
    if (it->second.Charset != 1) f.Charset = uint8_t(it->second.Charset);
  }
  f.HalfPoints = c.HalfPoints;
  f.Bold = c.Bold;
  f.Italic = c.Italic;
  f.Underline = c.Underline;
  f.StrikeOut = c.StrikeOut;
  f.Color = colorAt(c.Color);
  f.Background = colorAt(c.Back);
  return f;
}

}  // namespace

bool LooksLikeRtf(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\r' || bytes[i] == '\n' || bytes[i] == '\t')) ++i;
  return bytes.substr(i, 5) == "{\\rtf";
}

TRichDocument TRtfReader::Read(std::string_view bytes) {
  if (!LooksLikeRtf(bytes)) throw AtOffset(ERtfError("the data is not rich text: it does not start with {\\rtf"), 0);
  return TRtfInterpreter(bytes).Run();
}

TRichDocument ReadPlainText(std::string_view utf8) {
  if (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
  TRichDocument doc;
  size_t start = 0;
  for (;;) {
    const size_t end = utf8.find_first_of("\r\n", start);
    TRichParagraph p;
    const std::string_view line = utf8.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty()) p.Runs.push_back(TRichRun{std::string(line), {}});
    doc.Paragraphs.push_back(std::move(p));
    if (end == std::string_view::npos) break;
    start = end + 1;
    if (utf8[end] == '\r' && start < utf8.size() && utf8[start] == '\n') ++start;
  }
  return doc;
}

}  // namespace zd
