#pragma once
// Controls that print content loaded from files, fields or the template:
// pictures and rich text.
#include <string>

#include "host/core/Properties.h"
#include "host/graphics/Bitmap.h"
#include "host/richtext/RichText.h"
#include "report/model/ZdqBase.h"

namespace zd {

enum class TZdqImageKind { ikFile, ikField, ikPicture };

/// A picture from a file, a field or the template.
class TZdqImage : public TZdqControl {
 public:
  explicit TZdqImage(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqImage"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  TZdqImageKind ImageKind() const { return imageKind_; }
  void SetImageKind(TZdqImageKind k) { imageKind_ = k; }
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name) { fileName_ = name; }
  const std::string& Expression() const { return expression_; }
  void SetExpression(const std::string& e) { expression_ = e; }
  TPicture& Picture() { return picture_; }
  const TPicture& Picture() const { return picture_; }
  void SetPicture(const TPicture& p) { picture_ = p; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool on) { stretch_ = on; }
  bool Center() const { return center_; }
  void SetCenter(bool on) { center_ = on; }
  bool AspectRatio() const { return aspectRatio_; }
  void SetAspectRatio(bool on) { aspectRatio_ = on; }

  /// The picture as stored in a template: its file bytes, a raster as BMP.
  TBytes PictureBytes() const;
  /// Empty bytes clear the picture; unreadable ones raise EGraphicsError.
  void SetPictureBytes(const TBytes& bytes);

  /// File and field images load their picture first (a missing file leaves
  /// it empty); the picture is then fitted into the rectangle.
  int Draw(TCanvas& canvas, TRect& rect, uint32_t flags) override;

 private:
  /// A blob field holds the picture itself, any other field its file name.
  void LoadPicture();
  /// Undecodable bytes leave the picture empty, with a warning.
  void takePicture(const TBytes& bytes, const std::string& source);
  /// Where the picture goes in rect by Stretch, AspectRatio and Center.
  TRect PictureTarget(const TRect& rect) const;

  TZdqImageKind imageKind_ = TZdqImageKind::ikFile;
  std::string fileName_;
  std::string expression_;
  TPicture picture_;
  bool stretch_ = false, center_ = false, aspectRatio_ = false;
};

/// Rich text from a file, a field or the template.
class TZdRichText : public TZdqControl {
 public:
  explicit TZdRichText(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdRichText"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name) { fileName_ = name; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool on) { stretch_ = on; }
  const std::string& Expression() const { return expression_; }
  void SetExpression(const std::string& e) { expression_ = e; }

  /// Formats the file's or the field's rich text into the rectangle; a
  /// stretching control needs the formatted height.
  int Draw(TCanvas& canvas, TRect& rect, uint32_t flags) override;

 private:
  void LoadContent(TRichText& text);

  std::string fileName_;
  bool stretch_ = true;
  std::string expression_;
};

}  // namespace zd
