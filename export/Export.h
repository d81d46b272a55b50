#pragma once
// Exporter base: an exporter receives prepared pages one by one and walks
// each page's metafile records; concrete formats derive from TZdqExport.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/core/Component.h"
#include "host/core/Strings.h"
#include "host/emf/Metafile.h"

namespace zd {


/// Document properties written by the document exporters.
class TZdProperty : public TPersistent {
 public:
  std::string ClassName() const override { return "TZdProperty"; }
  void Assign(const TPersistent& source) override;
  const TClassProperties* PublishedProperties() const override;

  std::string Author, Title, Subject, Keywords;
  const TStringList& Comments() const { return comments_; }
  TStringList& Comments() { return comments_; }
  void SetComments(const TStrings& lines) { comments_.Assign(lines); }

 private:
  TStringList comments_;
};

/// An entry of the report's outline: its title and the place on a page it
/// stands for.
struct TZdqExportOutline {
  std::string Text;
  int Page = 0, Bar = 0;  ///< 0-based
  int Top = 0;            ///< page units from the page's top
};

/// Handlers see each record before the exporter does; what they set in
/// accept is advisory, the exporter handles the record anyway.
using TZdqMFEBeforeRecordEvent =
    std::function<void(TComponent* sender, const TEmfRecord& record, bool& accept)>;

/// Base of the exporters: receives the prepared pages one by one and walks
/// each page's metafile records; ExportTo on the report drives it.
class TZdqExport : public TComponent {
 public:
  explicit TZdqExport(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExport"; }
  const TClassProperties* PublishedProperties() const override;

  virtual void StartExport();
  virtual void EndExport();
  /// A page (0-based index within its bar) of bar `bar` begins.
  virtual void NewPage(int page, int bar);
  /// One record of the current page, with the drawing state before it.
  virtual void ExportEMFRecord(const TEmfRecord& record, const TEmfState& state);
  /// Overrides call this first: it remembers the name and resets the offsets.
  virtual void SaveToFile(const std::string& fileName);
  /// Every record of the current page has been delivered.
  virtual void PageProcessed(const TMetafile& page);

  /// Each result is named before its pages are played, so that an exporter
  /// can write while they come instead of keeping them all until SaveToFile.
  virtual void BeginResult(const std::string& fileName);

  /// Exporters that must know the whole document before writing its first
  /// byte return true. ExportTo then plays the pages of each result twice:
  /// between BeginLayoutPass and EndLayoutPass, then again to be written,
  /// and calls SaveToFile after them. The first playing raises no events.
  virtual bool NeedsLayoutPass() const { return false; }
  /// Asked after each layout pass: whether the pages must be played once
  /// more before they are written.
  virtual bool NeedsAnotherLayoutPass() const { return false; }
  virtual void BeginLayoutPass();
  /// The pages are played once more next, written to fileName (or the
  /// destination stream) by the time SaveToFile has been called.
  virtual void EndLayoutPass(const std::string& fileName);
  bool InLayoutPass() const { return layoutPass_; }

  /// Exports one metafile by itself as a one-page document.
  void SaveMetafileToFile(const TMetafile* metafile, const std::string& fileName);
  /// Delivers every record of the metafile to ExportEMFRecord.
  void ExportRecords(const TMetafile& page);

  TZdProperty& Properties() { return properties_; }
  const TZdProperty& Properties() const { return properties_; }
  void SetProperties(const TZdProperty& p) { properties_.Assign(p); }
  const std::string& DestinationFileName() const { return destinationFileName_; }
  /// When set, SaveToFile writes the one result to this stream instead of
  /// the named file; formats that need side files embed them instead.
  void SetDestinationStream(std::ostream* out) { destinationStream_ = out; }
  std::ostream* DestinationStream() const { return destinationStream_; }
  /// Producer text written into XML, RTF and PDF documents.
  static const char* ProductKey() { return "ZdReport metafile export 0.1"; }

  /// Position of the current page inside one continuous result.
  int OffsetX = 0, OffsetY = 0;
  /// Size of one page and of the whole result, in metafile units.
  int intPageWidth = 0, intPageHeight = 0;
  int intTotalWidth = 0, intTotalHeight = 0;

  /// The report's outline, in order, for the formats that link to pages.
  std::vector<TZdqExportOutline> Outlines;

  /// Characters written as '?' because the output's code page lacks them,
  /// counted since StartExport (formats that write Unicode keep 0).
  size_t ReplacedCharacters = 0;

  TNotifyEvent OnStartExecute, OnEndExecute, OnNewPage;
  TZdqMFEBeforeRecordEvent OnRecord;

 private:
  TZdProperty properties_;
  std::string destinationFileName_;
  std::ostream* destinationStream_ = nullptr;
  bool layoutPass_ = false;
};

/// The enumeration callback of an export: hands the record to the exporter
/// (when there is one) and always goes on, so every record is delivered.
bool ZdqEnumEMFRecordsProc(const TEmfRecord& record, const TEmfState& state, TZdqExport* exporter);

/// Creates an exporter of one class, owned by the given component.
using TZdqExportClass = std::function<std::unique_ptr<TZdqExport>(TComponent* owner)>;

template <class T>
TZdqExportClass ExportClassOf() {
  return [](TComponent* owner) -> std::unique_ptr<TZdqExport> { return std::make_unique<T>(owner); };
}

}  // namespace zd
