#pragma once
// Enhanced metafiles: the byte format is the published EMF one, so files
// written here open in other readers and foreign files can be enumerated.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/core/Errors.h"
#include "host/graphics/Canvas.h"

namespace zd {

class EMetafileError : public EZdError {
 public:
  using EZdError::EZdError;
};

// Record types used by this code (numbers from the published format).
enum : uint32_t {
  EMR_HEADER = 1, EMR_POLYBEZIER = 2, EMR_POLYGON = 3, EMR_POLYLINE = 4,
  EMR_SETWINDOWEXTEX = 9, EMR_SETWINDOWORGEX = 10, EMR_SETVIEWPORTEXTEX = 11,
  EMR_SETVIEWPORTORGEX = 12, EMR_EOF = 14, EMR_SETMAPMODE = 17, EMR_SETBKMODE = 18,
  EMR_SETPOLYFILLMODE = 19, EMR_SETROP2 = 20, EMR_SETSTRETCHBLTMODE = 21,
  EMR_SETTEXTALIGN = 22, EMR_SETTEXTCOLOR = 24, EMR_SETBKCOLOR = 25,
  EMR_MOVETOEX = 27, EMR_INTERSECTCLIPRECT = 30, EMR_SAVEDC = 33, EMR_RESTOREDC = 34,
  EMR_SELECTOBJECT = 37, EMR_CREATEPEN = 38, EMR_CREATEBRUSHINDIRECT = 39,
  EMR_DELETEOBJECT = 40, EMR_ELLIPSE = 42, EMR_RECTANGLE = 43, EMR_ROUNDRECT = 44,
  EMR_SELECTPALETTE = 48, EMR_CREATEPALETTE = 49, EMR_LINETO = 54,
  EMR_BITBLT = 76, EMR_STRETCHBLT = 77, EMR_STRETCHDIBITS = 81,
  EMR_EXTCREATEFONTINDIRECTW = 82, EMR_EXTTEXTOUTA = 83, EMR_EXTTEXTOUTW = 84,
  EMR_POLYGON16 = 86, EMR_POLYLINE16 = 87, EMR_EXTCREATEPEN = 95, EMR_SMALLTEXTOUT = 108,
};

class TMetafile {
 public:
  // Size in page units (96 per inch); recorded metafiles take it from the
  // drawing's extent unless set before recording.
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int w) { width_ = w; }
  void SetHeight(int h) { height_ = h; }
  bool Empty() const { return bytes_.empty(); }
  void Clear() { bytes_.clear(); width_ = height_ = 0; }

  // Creator and title from the header's description ("" when absent).
  std::string Creator() const;
  std::string Title() const;
  TRect Bounds() const;      // header rclBounds, device units
  uint32_t RecordCount() const;
  uint16_t HandleCount() const;

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  // Puts other records in place of some of a finished recording's (ranges
  // of the records after the header, as TMetafileCanvas positions give
  // them, ascending and apart) and updates the header's size, record count
  // and bounds. Throws EMetafileError when a range is not inside.
  struct TRecordsReplacement {
    size_t Begin = 0, End = 0;  // body offsets
    uint32_t RemovedRecords = 0;
    std::vector<uint8_t> Records;
    uint32_t RecordCount = 0;
    std::optional<TRect> Bounds;  // of the new records, right and bottom exclusive
  };
  void ReplaceRecords(const std::vector<TRecordsReplacement>& replacements);
  // Validates the header and every record's size; throws EMetafileError.
  void LoadFromBytes(const uint8_t* data, size_t size);
  void LoadFromBytes(const std::vector<uint8_t>& data) { LoadFromBytes(data.data(), data.size()); }
  void LoadFromBytes(std::vector<uint8_t>&& data);  // takes the bytes over instead of copying them
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

 private:
  friend class TMetafileCanvas;
  void takeFrameSize();
  std::vector<uint8_t> bytes_;
  int width_ = 0, height_ = 0;
};

// Records drawing as EMF records. The metafile receives the bytes on Close()
// or destruction; further drawing after Close() throws.
class TMetafileCanvas : public TCanvas {
 public:
  TMetafileCanvas(TMetafile& target, const std::string& creator = "ZdReport",
                  const std::string& title = "");
  ~TMetafileCanvas() override;
  void Close();

  // The objects selected and the modes set in the recording, each made again
  // only when the canvas property differs.
  struct TRecordingState {
    std::optional<TPen> Pen;
    std::optional<TBrush> Brush;
    std::optional<TFont> Font;
    std::optional<TColor> TextColor, BkColor;
    std::optional<uint32_t> Align;
    std::optional<TBkMode> BkMode;
    uint32_t PenHandle = 0, BrushHandle = 0, FontHandle = 0, MaxHandle = 0;
    std::vector<bool> Used;
    TPoint Pos{};
    bool ClipSaved = false;  // a SAVEDC holds the state before the clip
    bool operator==(const TRecordingState&) const = default;
  };

  // Where the recording stands and everything the next records depend on
  // (canvas properties, selected objects, modes, clip). Taken before and
  // after a drawing that must be recorded again once the page is finished,
  // such as a page count known only at the end.
  struct TPosition {
    size_t BodySize = 0;
    uint32_t Records = 0;
    bool HaveBounds = false;
    TRect Bounds{};
    TFont Font;
    TPen Pen;
    TBrush Brush;
    uint32_t TextAlign = 0;
    TBkMode BkMode = TBkMode::bmTransparent;
    std::optional<TRect> Clip;
    TRecordingState Recording;
    // The records that follow would come out the same after either position.
    bool SameState(const TPosition& other) const;
  };
  TPosition Position() const;
  // A canvas that records as this one would from `from` on, into an empty
  // body: what is drawn on it replaces a drawing made at that position.
  explicit TMetafileCanvas(const TPosition& from);
  // The records so far (no header, no end record) and their bounds.
  const std::vector<uint8_t>& Records() const { return body_; }
  uint32_t RecordCount() const { return records_; }
  std::optional<TRect> RecordedBounds() const;
  // Drawing since `from` no longer counts toward the bounds; it will be
  // replaced by drawing that brings its own.
  void DropBoundsSince(const TPosition& from);

  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Rectangle(const TRect& r) override;
  void RoundRect(const TRect& r, int cornerW, int cornerH) override;
  void Ellipse(const TRect& r) override;
  void FillRect(const TRect& r) override;
  void StretchDraw(const TRect& r, const TBitmap& bmp) override;
  void TextOutClipped(int x, int y, const std::string& utf8, const TRect* clip) override;
  using TCanvas::Rectangle;
  using TCanvas::Ellipse;

 protected:
  void ClipChanged() override;

 private:
  TMetafile* target_;  // null for a canvas that only continues a position
  std::string creator_, title_;
  std::vector<uint8_t> body_;
  uint32_t records_ = 0;
  bool closed_ = false;
  bool haveBounds_ = false;
  TRect bounds_{};
  TRecordingState rec_;

  void record(uint32_t type, const std::vector<uint8_t>& payload);
  void addBounds(const TRect& r);
  void ensurePen();
  void ensureBrush();
  void ensureFont();
  void ensureTextState();
  void checkOpen() const;
  uint32_t swapObject(uint32_t& handle, uint32_t createType, const std::vector<uint8_t>& data);
};

// ---- enumeration -----------------------------------------------------------

struct TEmfLogFont {
  int32_t Height = 0, Width = 0, Escapement = 0, Orientation = 0, Weight = 400;
  uint8_t Italic = 0, Underline = 0, StrikeOut = 0, CharSet = 1;
  uint8_t OutPrecision = 0, ClipPrecision = 0, Quality = 0, PitchAndFamily = 0;
  std::string FaceName;  // UTF-8
  // The equivalent canvas font (size in points from the character height).
  TFont ToFont(TColor color = clBlack) const;
};
struct TEmfPen { uint32_t Style = 0; int32_t Width = 1; TColor Color = clBlack; };
struct TEmfBrush { uint32_t Style = 0; TColor Color = clWhite; uint32_t Hatch = 0; };

struct TEmfObject {
  enum Kind { None, Pen, Brush, Font, Other } kind = None;
  TEmfPen pen;
  TEmfBrush brush;
  TEmfLogFont font;
};

// Drawing state as a device context would hold it while the records play.
struct TEmfState {
  std::vector<TEmfObject> Objects;  // indexed by handle, sized from nHandles
  TEmfLogFont Font;
  TEmfPen Pen;
  TEmfBrush Brush;
  TColor TextColor = clBlack;
  TColor BkColor = clWhite;
  uint32_t BkMode = 2;   // OPAQUE
  uint32_t TextAlign = 0;
  TPoint Position{};
  std::vector<TEmfState> Saved;  // SAVEDC stack (Objects not copied)
};

struct TEmfRecord {
  uint32_t Type = 0;
  uint32_t Size = 0;           // bytes, including type and size
  const uint8_t* Data = nullptr;  // the whole record
  size_t Offset = 0;           // within the metafile
  // Bounds-checked little-endian reads at byte offset within the record.
  uint32_t U32(size_t at) const;
  int32_t I32(size_t at) const { return int32_t(U32(at)); }
  uint16_t U16(size_t at) const;
  TRect RectAt(size_t at) const { return {I32(at), I32(at + 4), I32(at + 8), I32(at + 12)}; }
};

// Text of EXTTEXTOUTA / EXTTEXTOUTW / SMALLTEXTOUT records.
struct TEmfText {
  std::string Text;       // UTF-8
  TPoint Reference{};
  TRect Bounds{};         // record bounds (reference point only for small text)
  uint32_t Options = 0;
  std::vector<int32_t> Dx;  // per-character advances when present
};
// Parses a text record; nullopt for other records; throws on bad offsets.
std::optional<TEmfText> ReadEmfText(const TEmfRecord& rec);
// The font of an EMR_EXTCREATEFONTINDIRECTW record.
TEmfLogFont ReadEmfLogFont(const TEmfRecord& rec);

// Object-record effect on the state (fonts, pens, brushes, colours, align,
// position, save/restore). EnumerateMetafile calls it after the callback.
void ApplyEmfRecord(TEmfState& state, const TEmfRecord& rec);

// Calls back for every record, header and EOF included, with the state
// before the record; return false from the callback to stop. Throws
// EMetafileError on malformed records.
using TEmfCallback = std::function<bool(const TEmfRecord&, const TEmfState&)>;
void EnumerateMetafile(const TMetafile& meta, const TEmfCallback& cb);

// ---- playback ----------------------------------------------------------------

class TBitmap;
// Plays the metafile's frame scaled into `where` (bitmap pixels); throws
// EMetafileError for a metafile it cannot play.
void PlayMetafileOnBitmap(const TMetafile& meta, TBitmap& target, const TRect& where);

}  // namespace zd
