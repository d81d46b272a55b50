#include "export/ExportRegistry.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "export/markup/CsvExport.h"
#include "export/sheet/Excel.h"
#include "export/markup/HtmlExport.h"
#include "export/sheet/Lotus.h"
#include "export/pdf/PdfExport.h"
#include "export/pdf/PdfPageExport.h"
#include "export/picture/BitmapExport.h"
#include "export/picture/MetafileExport.h"
#include "export/sheet/QuattroPro.h"
#include "export/rtf/RtfExport.h"
#include "export/markup/TextExport.h"
#include "export/sheet/XlsxExport.h"
#include "export/markup/XmlExport.h"
#include "host/core/ClassRegistry.h"
#include "host/core/TextUtil.h"

namespace zd {

namespace {

struct TBuiltInFormat {
  const char* className;
  const char* extension;
  int descriptionIndex;  // the filter text is the next number
  const char* formatName = "";  // empty: the extension
};

// In the order the export dialog lists them.
constexpr TBuiltInFormat kBuiltInFormats[] = {
    {"TZdqExportToText", "TXT", 2170},     {"TZdqExportToCSV", "CSV", 2172},
    {"TZdqExportToEMF", "EMF", 2174},      {"TZdqExportToWMF", "WMF", 2176},
    {"TZdqExportToBMP", "BMP", 2192},      {"TZdqExportToHTML", "HTML", 2178},
    {"TZdqExportToXML", "XML", 2180},      {"TZdqExportToExcel", "XLS", 2182},
    {"TZdqExportToLotus", "WK1", 2184},    {"TZdqExportToQuattroPro", "WQ1", 2186},
    {"TZdqExportToRTF", "RTF", 2188},      {"TZdqExportToPDF", "PDF", 2190, "pdf-cells"},
    {"TZdqExportToTIFF", "TIFF", 2194},    {"TZdqExportToJPEG", "JPG", 2196},
};

struct TRegistry {
  std::vector<TZdqRegisterExport> entries;
  bool builtInsRegistered = false;
};

TRegistry& registryState() {
  static TRegistry registry;
  return registry;
}

// The built-in formats are registered on first use rather than by static
// initialisers, which a static library would drop.
std::vector<TZdqRegisterExport>& entries() {
  TRegistry& r = registryState();
  if (!r.builtInsRegistered) {
    r.builtInsRegistered = true;
    RegisterBuiltInExporters();
  }
  return r.entries;
}

std::string classNameOf(const TZdqExportClass& exportClass) {
  if (!exportClass) return {};
  const std::unique_ptr<TZdqExport> probe = exportClass(nullptr);
  return probe ? probe->ClassName() : std::string();
}

std::type_index typeOf(const TZdqExportClass& exportClass) {
  const std::unique_ptr<TZdqExport> probe = exportClass(nullptr);
  return typeid(*probe);
}

// Removes the entries of the name; true when there were any.
bool removeEntries(std::string_view className) {
  auto& list = entries();
  bool removed = false;
  for (auto it = list.end(); it != list.begin();) {
    --it;
    if (SameText(it->ExportClassName, className)) {
      it = list.erase(it);
      removed = true;
    }
  }
  return removed;
}

std::string textOf(int index, const std::string& literal, const TZdqTextLookup& text) {
  return index < 1 || !text ? literal : text(index);
}

}  // namespace

void RegisterZdqExport(const TZdqExportClass& exportClass, const std::string& fileExtension,
                       int descriptionIndex, const std::string& description, int filterNameIndex,
                       const std::string& filterName, intptr_t hInstance, const std::string& formatName) {
  const std::string name = classNameOf(exportClass);
  if (name.empty()) return;
  // A replaced exporter leaves the class registry too, so the new class can
  // take its name there.
  if (removeEntries(name)) GlobalClassRegistry().Unregister(name);
  GlobalClassRegistry().Register(TComponentClass{
      name, typeOf(exportClass),
      [exportClass](TComponent* owner) -> TComponent* { return exportClass(owner).release(); }});
  TZdqRegisterExport entry;
  entry.ExportClassName = name;
  entry.FileExtension = fileExtension;
  entry.FormatName = formatName.empty() ? LowerCase(fileExtension) : formatName;
  entry.DescriptionIndex = descriptionIndex;
  entry.Description = description;
  entry.FilterNameIndex = filterNameIndex;
  entry.FilterName = filterName;
  entry.hInstance = hInstance;
  entry.IconFileName = "zdq_ico." + fileExtension;
  entry.ExportClass = exportClass;
  entries().push_back(std::move(entry));
}

void UnRegisterZdqExport(std::string_view className) {
  if (removeEntries(className)) GlobalClassRegistry().Unregister(className);
}

void UnRegisterZdqExport(const TZdqExportClass& exportClass) {
  const std::string name = classNameOf(exportClass);
  if (!name.empty()) UnRegisterZdqExport(name);
}

const std::vector<TZdqRegisterExport>& ZdqExports() { return entries(); }

PZdqRegisterExport FindZdqExport(std::string_view className) {
  const auto& list = entries();
  auto it = std::find_if(list.begin(), list.end(),
                         [&](const TZdqRegisterExport& e) { return SameText(e.ExportClassName, className); });
  return it == list.end() ? nullptr : &*it;
}

void RegisterBuiltInZdqExport(const TZdqExportClass& exportClass) {
  const std::string name = classNameOf(exportClass);
  auto it = std::find_if(std::begin(kBuiltInFormats), std::end(kBuiltInFormats),
                         [&](const TBuiltInFormat& f) { return name == f.className; });
  if (it == std::end(kBuiltInFormats))
    throw std::invalid_argument("\"" + name + "\" is not a built-in export format");
  RegisterZdqExport(exportClass, it->extension, it->descriptionIndex, "", it->descriptionIndex + 1, "", 0,
                    it->formatName);
}

void RegisterBuiltInExporters() {
  // Each format adds its RegisterBuiltInZdqExport(ExportClassOf<...>()) call
  // here as it is written, in the order of kBuiltInFormats.
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToText>());
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToCSV>());
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToEMF>());
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToWMF>());
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToBMP>());
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToHTML>());
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToXML>());
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToExcel>());
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToLotus>());
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToQuattroPro>());
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToRTF>());
  // The PDF that keeps the page is what "pdf" means; the one rebuilt from
  // cells stays on offer as "pdf-cells".
  RegisterZdqExport(ExportClassOf<TZdqExportToPagePDF>(), "PDF", 0, "PDF document as printed", 0,
                    "PDF document (*.pdf)");
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToPDF>());
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToTIFF>());
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToJPEG>());
  // A further format, with its texts given here rather than in the string tables.
  RegisterZdqExport(ExportClassOf<TZdqExportToXLSX>(), "XLSX", 0, "Excel workbook export filter", 0,
                    "Excel workbook (*.xlsx)");
  RegisterZdqExport(ExportClassOf<TZdqExportToPNG>(), "PNG", 0, "PNG export filter", 0, "PNG picture (*.png)");
}

void UnRegisterBuiltInExporters() {
  for (const TBuiltInFormat& f : kBuiltInFormats) UnRegisterZdqExport(f.className);
  UnRegisterZdqExport(ExportClassOf<TZdqExportToXLSX>());
  UnRegisterZdqExport(ExportClassOf<TZdqExportToPNG>());
  UnRegisterZdqExport(ExportClassOf<TZdqExportToPagePDF>());
}

std::string ExportDescription(const TZdqRegisterExport& entry, const TZdqTextLookup& text) {
  return textOf(entry.DescriptionIndex, entry.Description, text);
}

std::string ExportFileFilter(const TZdqRegisterExport& entry, const TZdqTextLookup& text) {
  const std::string allFiles = text ? text(exporttext::AllFilesFilter) : std::string("All files (*.*)|*.*");
  return textOf(entry.FilterNameIndex, entry.FilterName, text) + "|*." + entry.FileExtension + "|" + allFiles;
}

}  // namespace zd
