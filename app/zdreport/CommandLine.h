#pragma once
// What the user asked for on the command line, the parser that reads it and
// the help that explains it.
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zd::cli {

// A command line that cannot be run; the message says why.
class EUsageError : public std::invalid_argument {
 public:
  explicit EUsageError(const std::string& message, std::string command = {})
      : std::invalid_argument(message), command_(std::move(command)) {}
  // The command whose help explains the mistake; empty: the general help.
  const std::string& Command() const { return command_; }

 private:
  std::string command_;
};

// A report template, the data it runs over and how it is prepared: what
// rendering and printing share.
struct TReportInput {
  std::string templateFile;
  std::string dataSource;  // "sqlite:FILE.db[:TABLE]" or "csv:FILE.csv"
  std::string sql;         // replaces the table's rows when set
  std::vector<std::pair<std::string, std::string>> parameters;  // NAME=VALUE, in order
  bool twoPass = false;
  std::optional<std::size_t> pageMemoryMB;  // unset: the report's default
  // Folders whose files the template may read besides its own folder;
  // anyAllowedPath lifts the limit.
  std::vector<std::string> allowedPaths;
  bool anyAllowedPath = false;
  char delimiter = 0;      // of a CSV data source; 0: detected
};

// The first template of a render is the options' own report input; more
// templates, each with its own input, make one document with it.
struct TRenderOptions : TReportInput {
  std::vector<TReportInput> moreTemplates;  // in command-line order
  std::string format;      // registered file extension, as typed
  std::string output;
  std::string pages;       // page-range text; empty: every page
  bool separate = false;
  std::string encoding;    // text encoding of the export, as typed; empty: the format's own
  bool csvRaw = false;     // CSV fields that look like formulas stay as they are
  int resolution = 0;      // pixels per inch of picture formats; 0: the format's own
};

struct TPrintOptions : TReportInput {
  std::string preparedFile;  // a saved prepared report (.zqp) instead of a template
  std::string printer;       // empty: the system's default printer
  int copies = 1;
  bool collate = false;
  std::string duplex;        // "none", "long", "short"; empty: the printer's setting
  std::string paper;         // a paper name such as A4, or WIDTHxHEIGHTmm; empty: the template's
  std::string orientation;   // "portrait", "landscape"; empty: the template's
  std::string paperSource;   // "upper", "lower", "manual", ...; empty: the template's
  std::string pages;         // page-range text; empty: every page
  std::string output;        // the PDF of the virtual printer, or a real printer's print-to-file
};

struct TPreviewOptions : TReportInput {
  std::string preparedFile;  // a saved prepared report (.zqp) instead of a template
  std::string grab;          // draw the window to this PNG file instead of opening it
  bool thumbnails = false;   // open with the thumbnail pane
  bool outlines = false;     // open with the outline pane
  std::string find;          // marks this text on the first page that has it
  bool noData = false;       // a template prepared over empty datasets: its layout, no rows
};

// A table or text file printed without a template (`table`, `text`).
struct TQuickPrintOptions : TRenderOptions {
  std::string textFile;                 // text
  std::string codePage;                 // text: "utf-8", "ansi" or "oem"; empty: utf-8
  bool wordWrap = false;                // text: wrap long lines instead of printing bars
  std::string groupFields;              // table: fields whose change ends a group, separated by ';'
  std::vector<std::string> sumFields;   // table: fields totalled per group and over the table
  std::string style;                    // table: row colours by name; empty: none
  bool recordNumbers = false;           // table
  std::string title;                    // a line above the table or text on the first page
};

struct TDesignOptions : TReportInput {
  std::string grab;                  // draw the window to this PNG file instead of opening it
  std::vector<std::string> selected; // display names of the controls selected in the drawing
  bool panels = false;               // the drawing shows the object inspector and the report explorer
};

// Page 1 of a report file as a picture (`thumbnail`).
struct TThumbnailOptions {
  std::string input;   // a template or a prepared report, told apart by content
  std::string output;  // written as PNG whatever its name
  int size = 256;      // pixels of the picture's longer side
};

// A new template made by the report wizard over a data source (`wizard`).
struct TWizardOptions {
  std::string dataSource;
  std::string sql;
  char delimiter = 0;
  std::vector<std::string> fields;   // in layout order; empty: every field
  std::vector<std::string> groups;   // outermost first, at most three
  std::vector<std::string> sums;     // totalled per group and over the report
  std::string type;                  // "columnar", "tabular" or "labels"; empty: columnar
  std::string style;                 // "standard", "executive", "presentative", "corporative"
  std::string title;                 // empty: the table's name
  std::string across;                // labels: labels side by side
  std::string frame;                 // labels: "none", "rectangle" or "rounded"
  std::string output;
};

struct TCommand {
  enum class TKind {
    Help, Version, Render, Formats, Demo, Dump, Convert, MakeExample, Print, Printers, Preview, Table, Text, Design,
    Thumbnail, Wizard
  };
  TKind kind = TKind::Help;
  // The command as typed ("render", ...); for Help the command asked about,
  // empty for the general help.
  std::string name;
  TRenderOptions render;  // Render and Demo
  TPrintOptions print;    // Print
  TPreviewOptions preview;  // Preview
  TQuickPrintOptions quick;  // Table and Text
  TDesignOptions design;    // Design
  TThumbnailOptions thumbnail;  // Thumbnail
  TWizardOptions wizard;    // Wizard
  std::string file;       // Dump, MakeExample and the input of Convert
  std::string output;     // Convert
};

// Raises EUsageError, naming the command it concerns, for anything it cannot
// read. "--help" anywhere after a command asks for that command's help.
TCommand ParseCommandLine(const std::vector<std::string>& args);

// The usage and options of a command; for an empty name, the list of commands.
std::string HelpText(const std::string& command);

}  // namespace zd::cli
