#include "report/controls/PictureControls.h"

#include <filesystem>

#include "expr/StrUtils.h"
#include "host/emf/Metafile.h"
#include "report/controls/detail/ControlDrawing.h"
#include "report/model/ZdReport.h"

namespace zd {

namespace {

constexpr int kPageUnitsPerInch = 96;
constexpr int kTwipsPerInch = 1440;

// Binary content rather than text; memo fields hold text.
bool HoldsBinary(const TField& field) { return field.IsBlob() && !IsTextFieldType(field.DataType()); }

// One message for a refused, missing or undecodable source, so that it
// tells nothing about the file.
void WarnUnreadable(const TZdqControl& control, const std::string& source) {
  if (TZdReport* report = control.GetZdReport())
    report->AddWarning(source + " of " + control.DisplayName() + " cannot be read");
}

// The file through the report's file access; nullopt for a file that cannot
// be read, whatever the reason, after saying so.
std::optional<TBytes> ReadTemplateFile(const TZdqControl& control, const std::string& path) {
  TZdReport* report = control.GetZdReport();
  if (!report || path.empty()) return std::nullopt;
  auto bytes = report->FileAccess().Read(path);
  if (!bytes) WarnUnreadable(control, "file '" + path + "'");
  return bytes;
}

TParaAlignment ParagraphAlignment(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return TParaAlignment::paRight;
    case TAlignment::taCenter: return TParaAlignment::paCenter;
    default: return TParaAlignment::paLeft;
  }
}

// The display name a design surface shows where content will be.
void DrawPlaceholder(TCanvas& canvas, const TZdqControl& control, const TRect& rect, uint32_t flags) {
  DrawWrapText(canvas, control.DisplayName(), rect, flags | DT_WORDBREAK | DT_NOPREFIX, 0,
               control.ZdPrintWhen().RemoveBlankLine());
}

}  // namespace

TZdqImage::TZdqImage(TComponent* owner) : TZdqControl(owner) { SetDisplayName("Image"); }

const TClassProperties& TZdqImage::ClassProperties() {
  using I = TZdqImage;
  static const TClassProperties props =
      TPropertiesOf<I>("TZdqImage", &TZdqControl::ClassProperties())
          .Enum("ImageKind", [](const I& i) { return i.ImageKind(); }, [](I& i, TZdqImageKind v) { i.SetImageKind(v); },
                TEnumNames{"TZdqImageKind", {"ikFile", "ikField", "ikPicture"}}, TZdqImageKind::ikFile)
          .String("FileName", [](const I& i) { return i.FileName(); },
                  [](I& i, const std::string& v) { i.SetFileName(v); })
          .String("Expression", [](const I& i) { return i.Expression(); },
                  [](I& i, const std::string& v) { i.SetExpression(v); })
          .Binary("Picture", [](const I& i) { return i.PictureBytes(); },
                  [](I& i, const TBytes& v) { i.SetPictureBytes(v); })
          .Boolean("Stretch", [](const I& i) { return i.Stretch(); }, [](I& i, bool v) { i.SetStretch(v); })
          .Boolean("Center", [](const I& i) { return i.Center(); }, [](I& i, bool v) { i.SetCenter(v); })
          .Boolean("AspectRatio", [](const I& i) { return i.AspectRatio(); },
                   [](I& i, bool v) { i.SetAspectRatio(v); })
          .Build();
  return props;
}

TBytes TZdqImage::PictureBytes() const {
  switch (picture_.Kind()) {
    case TPictureKind::Empty: return {};
    case TPictureKind::Bitmap: return picture_.Bitmap().SaveToBytes(TImageFormat::Bmp);
    default: return picture_.Data();
  }
}

void TZdqImage::SetPictureBytes(const TBytes& bytes) {
  if (bytes.empty()) {
    picture_.Clear();
    return;
  }
  TPicture loaded;
  loaded.LoadFromBytes(bytes);  // raises before anything changes
  picture_ = loaded;
}

int TZdqImage::Draw(TCanvas& canvas, TRect& rect, uint32_t flags) {
  const int height = TZdqControl::Draw(canvas, rect, flags);
  if (flags & kDrawMeasure) return height;
  const bool design = InDesignMode();
  if (design) {
    canvas.Pen.Style = TPenStyle::psDash;
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Rectangle(rect);
    canvas.Pen.Style = TPenStyle::psSolid;
  }
  if (imageKind_ != TZdqImageKind::ikPicture) {
    picture_.Clear();
    if (!fileName_.empty() || !design)
      LoadPicture();
    else
      DrawPlaceholder(canvas, *this, rect, flags);
  }
  canvas.Brush.Color = BackColor();
  try {
    StretchDrawPicture(canvas, PictureTarget(rect), picture_);
  } catch (const EMetafileError& e) {
    WarnPictureSkipped(e);
  }
  return height;
}

void TZdqImage::LoadPicture() {
  std::string file = fileName_;
  if (!expression_.empty()) {
    file.clear();
    if (const TField* field = NamedField(*this, expression_)) {
      if (HoldsBinary(*field)) {
        const TBytes bytes = field->AsBytes();
        if (!bytes.empty()) takePicture(bytes, "the picture in " + expression_);
        return;
      }
      file = field->AsString();
    }
  }
  if (const auto bytes = ReadTemplateFile(*this, file)) takePicture(*bytes, "file '" + file + "'");
}

void TZdqImage::takePicture(const TBytes& bytes, const std::string& source) {
  try {
    picture_.LoadFromBytes(bytes);
  } catch (const EGraphicsError&) {
    WarnUnreadable(*this, source);
  }
}

TRect TZdqImage::PictureTarget(const TRect& rect) const {
  const int pw = picture_.Width(), ph = picture_.Height();
  const int rw = rect.Width(), rh = rect.Height();
  const bool fits = pw <= rw && ph <= rh;
  const bool empty = picture_.Empty() || pw <= 0 || ph <= 0;
  int w = rw, h = rh;
  if (!fileName_.empty() && !stretch_ && (!aspectRatio_ || fits)) {
    w = pw;
    h = ph;
  } else if (aspectRatio_ && !empty) {
    const double ratio = double(pw) / ph;
    if (pw > ph) {
      w = rw;
      h = int(rw / ratio);
      if (h > rh) {
        h = rh;
        w = int(rh * ratio);
      }
    } else {
      h = rh;
      w = int(rh * ratio);
      if (w > rw) {
        w = rw;
        h = int(rw / ratio);
      }
    }
  }
  TRect target{rect.Left, rect.Top, rect.Left + w, rect.Top + h};
  if (center_) {
    const int dx = (rw - w) / 2, dy = (rh - h) / 2;
    target = {target.Left + dx, target.Top + dy, target.Right + dx, target.Bottom + dy};
  }
  return target;
}

TZdRichText::TZdRichText(TComponent* owner) : TZdqControl(owner) { SetDisplayName("RichText"); }

const TClassProperties& TZdRichText::ClassProperties() {
  using R = TZdRichText;
  static const TClassProperties props =
      TPropertiesOf<R>("TZdRichText", &TZdqControl::ClassProperties())
          .String("FileName", [](const R& r) { return r.FileName(); },
                  [](R& r, const std::string& v) { r.SetFileName(v); })
          .Boolean("Stretch", [](const R& r) { return r.Stretch(); }, [](R& r, bool v) { r.SetStretch(v); })
          .String("Expression", [](const R& r) { return r.Expression(); },
                  [](R& r, const std::string& v) { r.SetExpression(v); })
          .Build();
  return props;
}

int TZdRichText::Draw(TCanvas& canvas, TRect& rect, uint32_t flags) {
  const int height = TZdqControl::Draw(canvas, rect, flags);
  if (InDesignMode() && fileName_.empty()) {
    DrawPlaceholder(canvas, *this, rect, flags);
    return height;
  }
  TRichText text;
  text.SetDefaultAlignment(ParagraphAlignment(Alignment()));
  text.SetDefaultFont(Font().Value());
  if (!Transparent()) text.SetBackground(BackColor());
  LoadContent(text);
  const bool measuring = flags & kDrawMeasure;
  const int frameWidth = Frame().GetFrameWidth();
  // Measured inside the frame, as it is drawn.
  const TRect area = measuring ? rect.Inflated(-frameWidth, -frameWidth) : rect;
  auto toTwips = [](int v) { return v * kTwipsPerInch / kPageUnitsPerInch; };
  const TRect twips{toTwips(area.Left), toTwips(area.Top), toTwips(area.Right), toTwips(area.Bottom)};
  const int bottom = text.FormatRange(canvas, twips, !measuring);
  if (!stretch_) return height;
  return (bottom - twips.Top) * kPageUnitsPerInch / kTwipsPerInch + 2 * frameWidth;
}

void TZdRichText::LoadContent(TRichText& text) {
  if (!fileName_.empty()) {
    if (const auto bytes = ReadTemplateFile(*this, fileName_)) text.Load(*bytes);
    return;
  }
  if (expression_.empty()) return;
  const TField* field = NamedField(*this, expression_);
  if (!field) return;
  if (field->IsBlob())
    text.Load(field->AsBytes());
  else
    text.LoadFromText(field->AsString());
}

}  // namespace zd
