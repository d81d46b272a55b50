#pragma once
// Numbers of the texts in the string tables (GetString). Fixed numbers that
// stored files or other code rely on must not move.
namespace zd::txt {

constexpr int SysDataNames = 1030;   // + ordinal of TZdqSysDataType
constexpr int BandTypeNames = 1050;  // + ordinal of the band type
constexpr int OK = 1103;             // "&OK"
constexpr int Cancel = 1104;         // "&Cancel"
constexpr int Outline = 1105;        // "Outline"
constexpr int PaperSizeNames = 1950; // + ordinal of TZdqPaperSize
constexpr int BinNames = 2000;       // + ordinal of TZdqBin

// Engine messages.
constexpr int Preparing = 2050;          // "Preparing..."
constexpr int PreparingPage = 2051;      // "Preparing page %d on the bar %d..."
constexpr int FirstPass = 2052;          // "First pass: "
constexpr int SecondPass = 2053;         // "Second pass: "
constexpr int Printing = 2054;           // "Printing..."
constexpr int SaveFileDialogTitle = 2055;  // "Input a file name for save of then page"
constexpr int AllFilesFilter = 2056;     // "All files (*.*)|*.*"
constexpr int PrintingPage = 2057;       // "Printing page %d on the bar %d (copy #%d)..."
constexpr int Exporting = 2058;          // "Exporting..."
constexpr int ExportingPage = 2059;      // "Exporting %d page on the %dst bar..."
constexpr int NoPrinter = 2060;          // "No printer installed in MS Windows"

// Print and export settings dialog.
constexpr int PrintSetupCaption = 2150;  // "Print setup dialog"
constexpr int ExportSetupCaption = 2151; // "Export setup dialog"

}  // namespace zd::txt
