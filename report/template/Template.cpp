#include "report/template/Template.h"

#include <filesystem>
#include <fstream>
#include <istream>
#include <iterator>
#include <memory>
#include <ostream>

#include "host/core/ClassRegistry.h"
#include "host/core/TextUtil.h"
#include "host/core/WholeFile.h"
#include "print/ZdPrntr.h"
#include "report/template/TemplateObjects.h"
#include "report/template/TemplateText.h"
#include "report/model/ZdReport.h"

namespace zd {

namespace {

constexpr const char* kBanner = "ZdReport template";
constexpr uint16_t kRawDataResource = 10;
constexpr uint16_t kResourceFlags = 0x1030;

void PutLe(TBytes& out, uint64_t v, int size) {
  for (int i = 0; i < size; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

[[noreturn]] void FailAtByte(size_t offset, const std::string& what) {
  throw AtOffset(ETemplateError("Template error at byte " + std::to_string(offset) + ": " + what), offset);
}

// Where the component stream lies inside a template file.
struct TStreamBounds {
  size_t begin, end;
};

class THeaderReader {
 public:
  explicit THeaderReader(const TBytes& data) : d_(data) {}

  TStreamBounds Read() {
    const uint64_t bannerLength = le(4, "banner length");
    if (bannerLength > left())
      FailAtByte(0, "the banner length " + std::to_string(bannerLength) + " exceeds the " + std::to_string(left()) +
                    " bytes that follow it");
    pos_ += size_t(bannerLength);
    const size_t headerAt = pos_;
    if (le(1, "resource header") != 0xFF) FailAtByte(headerAt, "no component-resource header (byte FF) after the banner");
    const uint64_t type = le(2, "resource type");
    if (type != kRawDataResource)
      FailAtByte(headerAt + 1, "resource type " + std::to_string(type) + " is not raw data (10)");
    while (le(1, "resource name") != 0) {
    }
    le(2, "resource flags");
    const size_t sizeAt = pos_;
    const uint64_t size = le(4, "resource size");
    if (size > left())
      FailAtByte(sizeAt, "the resource claims " + std::to_string(size) + " bytes, " + std::to_string(left()) + " follow");
    return {pos_, pos_ + size_t(size)};
  }

 private:
  size_t left() const { return d_.size() - pos_; }
  uint64_t le(int size, const char* what) {
    if (size_t(size) > left()) FailAtByte(pos_, std::string("the file ends inside the ") + what);
    uint64_t v = 0;
    for (int i = 0; i < size; ++i) v |= uint64_t(d_[pos_ + size_t(i)]) << (8 * i);
    pos_ += size_t(size);
    return v;
  }

  const TBytes& d_;
  size_t pos_ = 0;
};

// InternalLoading is cleared however the load ends.
class TInternalLoading {
 public:
  explicit TInternalLoading(TZdReport& report) : report_(report) { report_.InternalLoading = true; }
  ~TInternalLoading() { report_.InternalLoading = false; }
  TInternalLoading(const TInternalLoading&) = delete;
  TInternalLoading& operator=(const TInternalLoading&) = delete;

 private:
  TZdReport& report_;
};

// An empty report of the same class, to read into.
std::unique_ptr<TZdReport> FreshReportLike(const TZdReport& report) {
  const TComponentClass* cls = GlobalClassRegistry().Find(report.ClassName());
  std::unique_ptr<TComponent> made(cls ? cls->create(nullptr) : nullptr);
  if (auto* typed = dynamic_cast<TZdReport*>(made.get())) {
    made.release();
    return std::unique_ptr<TZdReport>(typed);
  }
  return std::make_unique<TZdReport>();
}

void CheckRootClass(const TStreamObject& root, const TZdReport& report, const TStreamReadContext& context) {
  const TComponentClass* cls = GlobalClassRegistry().Find(root.className);
  if (!cls || !cls->properties || !report.PublishedProperties()->InheritsFrom(*cls->properties))
    TemplateErrorAt(context, root.offset,
                    "the template holds a " + root.className + ", which a " + report.ClassName() + " cannot load");
}

std::string_view AsText(const TBytes& data) {
  return std::string_view(reinterpret_cast<const char*>(data.data()), data.size());
}

void WriteTemplateFile(const TBytes& bytes, const std::string& fileName) {
  try {
    WriteWholeFile(fileName, AsText(bytes));
  } catch (const EFileWriteError& e) {
    throw ETemplateError(std::string("Template: ") + e.what());
  }
}

// References name the datasets the template holds, else components of the
// report's owner, as the designer placed them.
TReferenceResolver ResolverFor(const TZdReport& report, const TZdReport& read) {
  return [&report, &read](const std::string& name) -> TComponent* {
    if (auto* dataset = dynamic_cast<TDataSet*>(read.FindComponent(name))) return dataset;
    const TComponent* root = report.Owner() ? report.Owner() : &report;
    if (TComponent* c = root->FindComponent(name)) return c;
    // "Root.Component", as streams write references across roots.
    const size_t dot = name.find('.');
    if (dot != std::string::npos && SameText(name.substr(0, dot), root->Name()))
      return root->FindComponent(name.substr(dot + 1));
    return nullptr;
  };
}

// The datasets of the report that its template stores.
std::vector<TDataSet*> StoredDatasets(const TZdReport& report) {
  std::vector<TDataSet*> datasets;
  for (TDataSet* dataset : report.OwnDatasets())
    if (TemplateStoresDataset(*dataset)) datasets.push_back(dataset);
  return datasets;
}

// Moves what was read into the target: published settings by value, bands
// and datasets by ownership. Checks first what could fail, so the target
// changes only when the move will succeed. The report keeps its own name,
// as its Name property does while a template loads.
void MoveLoadedReport(TZdReport& from, TZdReport& to) {
  for (const TComponent* read : from.Components()) {
    // Bands and stored datasets of the target make way for those read.
    const TComponent* clash = to.FindComponent(read->Name());
    if (clash && !dynamic_cast<const TZdqBand*>(clash) && !TemplateStoresDataset(*clash))
      throw ETemplateError("The name " + read->Name() + " is taken by another component of the report");
  }
  for (TDataSet* old : StoredDatasets(to)) delete old;
  const TClassProperties& target = *to.PublishedProperties();
  for (const TPropertyInfo* prop : from.PublishedProperties()->Properties()) {
    const TPropertyInfo* dest = target.Find(prop->Name());
    if (!dest) continue;
    switch (prop->Kind()) {
      case TPropKind::Object:
      case TPropKind::Collection:
      case TPropKind::StringList: dest->AssignObject(to, *prop->GetObject(from)); break;
      case TPropKind::Reference: dest->SetReference(to, prop->GetReference(from)); break;
      default: SetValue(to, *dest, ValueOf(from, *prop)); break;
    }
  }
  to.DeleteAllBands();
  const std::vector<TZdqBand*> bands = from.Bands();
  for (TZdqBand* band : bands) {
    to.InsertComponent(band);  // the report appends it to its band list
    band->SetDesigning(to.IsDesigning());
  }
  for (TDataSet* dataset : StoredDatasets(from)) {
    to.InsertComponent(dataset);
    dataset->SetDesigning(to.IsDesigning());
  }
}

// The printer settings follow the printer as it now stands; a paper size
// the printer leaves at zero comes back from the stored PaperSize. Without
// any printer the template's own settings are kept.
void ReloadPrinterSettings(TZdqPrinter& printer) {
  try {
    printer.GetPrinterSettings();
  } catch (const EZdqNoPrinterError&) {
    return;
  }
  const TClassProperties& props = TZdqPrinter::ClassProperties();
  if (props.Get("PaperSizeWidth").GetOrdinal(printer) == 0 || props.Get("PaperSizeHeight").GetOrdinal(printer) == 0)
    printer.SetPaperSize(printer.PaperSize());
}

TBytes ReadAll(std::istream& in) {
  TBytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw ETemplateError("Reading the template stream failed");
  return data;
}

}  // namespace

TTemplateFormat TemplateFormatOfName(const std::string& fileName) {
  return SameText(std::filesystem::path(fileName).extension().string(), ".zdqt") ? TTemplateFormat::Text
                                                                                 : TTemplateFormat::Binary;
}

TTemplateFormat TemplateFormatOf(const TBytes& data) {
  if (data.empty()) return TTemplateFormat::Binary;
  if (data.size() >= 4) {
    uint64_t bannerLength = 0;
    for (int i = 0; i < 4; ++i) bannerLength |= uint64_t(data[size_t(i)]) << (8 * i);
    if (bannerLength < data.size() - 4 && data[4 + size_t(bannerLength)] == 0xFF) return TTemplateFormat::Binary;
  }
  const uint8_t first = data[0];
  const bool printable = (first >= 0x20 && first < 0x7F) || first == '\t' || first == '\n' || first == '\r' || first == 0xEF;
  return printable ? TTemplateFormat::Text : TTemplateFormat::Binary;
}

TBytes TemplateTreeToBytes(const TStreamObject& root, TTemplateFormat format) {
  if (format == TTemplateFormat::Text) {
    const std::string text = WriteTemplateText(root);
    return TBytes(text.begin(), text.end());
  }
  const TBytes stream = WriteComponentStream(root);
  if (stream.size() > UINT32_MAX) throw ETemplateError("The report is too large for a template file");
  TBytes out;
  // The banner's length counts characters while its UTF-16 form has two
  // bytes each, so only the first half of that form is stored.
  const std::string banner = kBanner;
  PutLe(out, banner.size(), 4);
  TBytes utf16;
  for (char c : banner) PutLe(utf16, uint8_t(c), 2);
  out.insert(out.end(), utf16.begin(), utf16.begin() + long(banner.size()));
  out.push_back(0xFF);
  PutLe(out, kRawDataResource, 2);
  const std::string resourceName = UpperCase(root.className);
  if (resourceName.find('\0') != std::string::npos)
    throw ETemplateError("A class name with a zero byte cannot name the template's resource");
  out.insert(out.end(), resourceName.begin(), resourceName.end());
  out.push_back(0);
  PutLe(out, kResourceFlags, 2);
  PutLe(out, stream.size(), 4);
  out.insert(out.end(), stream.begin(), stream.end());
  return out;
}

TBytes SaveReportToBytes(const TZdReport& report) {
  return TemplateTreeToBytes(ReportToStream(report), TTemplateFormat::Binary);
}

void SaveTemplateTree(const TStreamObject& root, const std::string& fileName) {
  WriteTemplateFile(TemplateTreeToBytes(root, TemplateFormatOfName(fileName)), fileName);
}

void SaveReportToStream(const TZdReport& report, std::ostream& out) {
  const TBytes bytes = SaveReportToBytes(report);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!out) throw ETemplateError("Writing the template stream failed");
}

void SaveReport(TZdReport& report, const std::string& fileName) {
  const std::string previous = report.GetFileName();
  report.SetFileName(fileName);
  TBytes bytes;
  try {
    bytes = TemplateTreeToBytes(ReportToStream(report, TemplateFolder(fileName)), TemplateFormatOfName(fileName));
  } catch (...) {
    report.SetFileName(previous);
    throw;
  }
  WriteTemplateFile(bytes, fileName);
}

TStreamObject ReadTemplateTree(const TBytes& data) {
  if (TemplateFormatOf(data) == TTemplateFormat::Text) return ReadTemplateText(AsText(data));
  const TStreamBounds bounds = THeaderReader(data).Read();
  return ReadComponentStream(data, bounds.begin, bounds.end);
}

TTemplateLoadResult LoadReportFromBytes(TZdReport& report, const TBytes& data, const std::string& templateFolder) {
  TStreamReadContext context;
  context.templateFolder = templateFolder;
  {
    TInternalLoading loading(report);
    if (TemplateFormatOf(data) == TTemplateFormat::Text)
      context.describePlace = [&data](size_t offset) { return TextPlace(AsText(data), offset); };
    const TStreamObject root = ReadTemplateTree(data);
    CheckRootClass(root, report, context);
    std::unique_ptr<TZdReport> fresh = FreshReportLike(report);
    TInternalLoading freshLoading(*fresh);
    fresh->DeleteAllBands();
    context.resolve = ResolverFor(report, *fresh);
    StreamToReport(root, *fresh, context);
    MoveLoadedReport(*fresh, report);
  }
  ReloadPrinterSettings(report.PrinterSetting());
  return {std::move(context.unresolved)};
}

TTemplateLoadResult LoadReportFromStream(TZdReport& report, std::istream& in) {
  return LoadReportFromBytes(report, ReadAll(in));
}

std::string TemplateFolder(const std::string& fileName) {
  std::error_code error;
  const std::filesystem::path file = std::filesystem::absolute(fileName, error);
  return error ? std::string() : file.parent_path().string();
}

TTemplateLoadResult LoadReport(TZdReport& report, const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) {
    ETemplateError error("Cannot open the template file " + fileName);
    error.SetFileName(fileName);
    throw error;
  }
  try {
    TTemplateLoadResult result = LoadReportFromBytes(report, ReadAll(in), TemplateFolder(fileName));
    report.SetFileName(fileName);
    return result;
  } catch (EZdError& e) {
    e.SetFileName(fileName);
    throw;
  }
}

std::string CreateTemplateBackup(const std::string& fileName) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_regular_file(fileName, ec)) return {};
  fs::path backup(fileName);
  backup.replace_extension(TemplateFormatOfName(fileName) == TTemplateFormat::Text ? ".~zdqt" : ".~zdq");
  fs::copy_file(fileName, backup, fs::copy_options::overwrite_existing, ec);
  if (ec) throw ETemplateError("Cannot back up " + fileName + " to " + backup.string() + ": " + ec.message());
  return backup.string();
}

}  // namespace zd
