#pragma once
// The exporter classes on offer, in registration order, with what the export
// dialog shows for them: extension, description, file-dialog filter, icon.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "export/Export.h"

namespace zd {

/// One registered exporter class and what the export dialog shows for it.
struct TZdqRegisterExport {
  std::string ExportClassName;
  std::string FileExtension;  ///< without the dot
  /// The name the command line knows the format by, in lower case: the
  /// extension unless registered with another.
  std::string FormatName;
  int DescriptionIndex = 0;   ///< text number; below 1: Description holds the text
  std::string Description;
  int FilterNameIndex = 0;    ///< text number; below 1: FilterName holds the text
  std::string FilterName;
  intptr_t hInstance = 0;     ///< module that holds the texts
  /// The file whose shell icon stands for the format ("zdq_ico." and the
  /// extension); it need not exist, the icon is found by the name alone.
  std::string IconFileName;
  TZdqExportClass ExportClass;
};
using PZdqRegisterExport = const TZdqRegisterExport*;

/// Replaces any entry of the same class name, registers the class with the
/// host's class registry (so that it can be created by name) and appends the
/// entry. A class that yields no exporter or an empty class name is ignored.
/// An empty format name stands for the extension in lower case.
void RegisterZdqExport(const TZdqExportClass& exportClass, const std::string& fileExtension,
                       int descriptionIndex, const std::string& description, int filterNameIndex,
                       const std::string& filterName, intptr_t hInstance = 0,
                       const std::string& formatName = "");
/// Removes every entry of the class name; an unknown name does nothing.
void UnRegisterZdqExport(std::string_view className);
void UnRegisterZdqExport(const TZdqExportClass& exportClass);

/// The registered exporters; the first access registers the built-in ones.
const std::vector<TZdqRegisterExport>& ZdqExports();
PZdqRegisterExport FindZdqExport(std::string_view className);  ///< case-insensitive; nullptr

/// Registers the built-in formats in the order the export dialog lists them.
void RegisterBuiltInExporters();
void UnRegisterBuiltInExporters();
/// Registers a built-in exporter with its own extension and text numbers;
/// raises std::invalid_argument for a class that is not one of the built-in formats.
void RegisterBuiltInZdqExport(const TZdqExportClass& exportClass);

/// Texts by number in the caller's language (the string tables live above
/// the export library).
using TZdqTextLookup = std::function<std::string(int id)>;
namespace exporttext {
constexpr int SaveDialogCaption = 2055;  // "Input a file name for save of then page"
constexpr int AllFilesFilter = 2056;     // "All files (*.*)|*.*"
}  // namespace exporttext

std::string ExportDescription(const TZdqRegisterExport& entry, const TZdqTextLookup& text);
/// The save dialog's filter: the format's filter, its "*." pattern, then all files.
std::string ExportFileFilter(const TZdqRegisterExport& entry, const TZdqTextLookup& text);

}  // namespace zd
