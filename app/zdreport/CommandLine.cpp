#include "app/zdreport/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <string_view>

namespace zd::cli {
namespace {

// Options of every command that prepares a template.
constexpr const char* kReportInputOptions =
    "  TEMPLATE.zdq    the report template (binary .zdq or text .zdqt)\n"
    "  --data SOURCE   the report's master dataset (default: the one the template\n"
    "                  stores, made in the designer), one of\n"
    "                    sqlite:FILE.db:TABLE  every row of a table or view\n"
    "                    sqlite:FILE.db        with --sql (or a database of one table)\n"
    "                    csv:FILE.csv          a CSV file whose first line names the fields\n"
    "                  Expressions reach its fields as FIELD, as DATASET.FIELD with the\n"
    "                  dataset name the template refers to, and as TABLE.FIELD (the\n"
    "                  table name, or the CSV file's name without extension)\n"
    "  --sql QUERY     read the rows of this query instead of the table (sqlite only)\n"
    "  --delimiter CHAR\n"
    "                  the field delimiter of a csv source: one character, or 'tab'\n"
    "                  (default: the one its first line uses, of comma, semicolon, tab)\n"
    "  --param NAME=VALUE\n"
    "                  the value of a report parameter, by name or label; repeatable.\n"
    "                  It is read as the kind of the parameter's current value (number,\n"
    "                  date as yyyy-mm-dd, true/false), else as text. A parameter the\n"
    "                  report asks for that has no value is an error\n"
    "  --two-pass      prepare twice, so that the page count is known on every page\n"
    "                  (a template may ask for this itself)\n"
    "  --page-memory MB\n"
    "                  megabytes of prepared pages kept in memory; older pages wait,\n"
    "                  compressed, in a temporary file until used (default 64;\n"
    "                  0 keeps every page in memory)\n"
    "  --allow-path DIR\n"
    "                  let the template read pictures, rich text and databases in DIR\n"
    "                  too; repeatable. By default it reads only files in its own folder\n"
    "  --allow-any-path\n"
    "                  let the template read any file (for trusted templates only)\n";

const std::string& RenderHelp() {
  static const std::string text =
      std::string(
          "Usage: zdreport render TEMPLATE.zdq [--data SOURCE] [--sql QUERY] [--format EXT] -o OUT\n"
          "                       [--param NAME=VALUE]... [--pages LIST] [--separate] [--two-pass]\n"
          "                       [--allow-path DIR]... [--allow-any-path]\n"
          "                       [--encoding NAME] [--csv-raw] [--delimiter CHAR] [--page-memory MB]\n"
          "                       [--resolution PPI]\n"
          "       zdreport render A.zdq [A's options] B.zdq [B's options] ...\n"
          "                       -o OUT [--format EXT] [--pages LIST] ...\n"
          "\n"
          "Prepares a report template over its data source and exports it.\n"
          "\n"
          "Several templates make one document: their pages one after another, the\n"
          "page numbers running on from one template to the next and the page count\n"
          "that of the whole (each template is prepared twice, first to count its\n"
          "pages). --data, --sql, --delimiter, --param, --two-pass, --page-memory,\n"
          "--allow-path and --allow-any-path apply to the template named last before\n"
          "them (to the first when given before any); the other options, to the\n"
          "whole document. A prepared report (.zqp) saves the whole document.\n"
          "\n") +
      kReportInputOptions +
      "  --format EXT    the output format by file extension, ignoring case (see\n"
      "                  'zdreport formats'); default: the extension of OUT\n"
      "  -o OUT          the output file; never the template or the data file\n"
      "  --pages LIST    export only these 1-based pages, e.g. 1,3-5 (default: all)\n"
      "  --separate      one file per page: OUT gets the 0-based page and bar numbers\n"
      "                  before its extension (out.pdf -> out0_0.pdf, out1_0.pdf, ...)\n"
      "  --encoding NAME the character encoding of txt, csv, html and xml output (default\n"
      "                  utf-8) or of xls, wk1 and wq1 labels and rtf text: utf-8 or a\n"
      "                  Windows code page such as cp1252, cp1250, cp1251. Characters\n"
      "                  the code page lacks are written as '?' and counted in a\n"
      "                  warning (rtf writes them as Unicode escapes)\n"
      "  --csv-raw       write csv fields that start with = + - @ as they are (by default\n"
      "                  such texts get a leading ' so spreadsheets do not run them)\n"
      "  --resolution PPI pixels per inch of bmp, png, jpg and tiff pictures (default 96,\n"
      "                  the page's own; 300 gives print quality)\n"
      "\n"
      "A progress line is drawn on the terminal while the report is prepared and\n"
      "exported (only when standard error is a terminal).\n";
  return text;
}

const std::string& PrintHelp() {
  static const std::string text =
      std::string(
          "Usage: zdreport print TEMPLATE.zdq [--data SOURCE] [OPTIONS]\n"
          "       zdreport print FILE.zqp [OPTIONS]\n"
          "\n"
          "Prepares a report template over a data source, or reads a saved prepared\n"
          "report, and prints it on a printer of the system (see 'zdreport printers').\n"
          "With no printer installed it prints on the built-in Virtual PDF Printer,\n"
          "which writes the PDF file named by -o.\n"
          "\n") +
      kReportInputOptions +
      "  FILE.zqp        a prepared report, printed as saved (no --data)\n"
      "  --printer NAME  the printer (default: the system's default printer)\n"
      "  --copies N      copies of every page (default 1)\n"
      "  --collate       print copy after copy of the whole report, not page by page\n"
      "  --pages LIST    print only these 1-based pages, e.g. 1,3-5 (default: all)\n"
      "  --duplex MODE   none, long or short (edge binding); default: the printer's\n"
      "  --paper SIZE    a paper name such as A4, A5, Letter, Legal, or a size such as\n"
      "                  100x50mm (zero margins: labels); default: the template's\n"
      "  --paper-source SOURCE\n"
      "                  the tray: auto, upper, lower, middle, manual, envelope,\n"
      "                  envelope-manual, tractor, small-format, large-format,\n"
      "                  large-capacity or cassette; default: the template's\n"
      "  --orientation portrait|landscape\n"
      "                  default: the template's\n"
      "  -o FILE         where the Virtual PDF Printer writes; with a real printer, print\n"
      "                  to this file instead of the printer\n";
  return text;
}

const std::string& PreviewHelp() {
  static const std::string text =
      std::string(
          "Usage: zdreport preview TEMPLATE.zdq [--data SOURCE] [OPTIONS]\n"
          "       zdreport preview TEMPLATE.zdq --no-data [OPTIONS]\n"
          "       zdreport preview FILE.zqp [OPTIONS]\n"
          "\n"
          "Prepares a report template over a data source, or reads a saved prepared\n"
          "report, and shows it in the preview window, where it can be printed, saved,\n"
          "searched and paged through.\n"
          "\n") +
      kReportInputOptions +
      "  FILE.zqp        a prepared report, shown as saved (no --data)\n"
      "  --no-data       prepare the template over empty datasets: its titles, headers\n"
      "                  and footers show, no rows (what file managers and IDEs open)\n"
      "  --thumbnails    open with the page thumbnails shown\n"
      "  --outlines      open with the outline shown (when the report has one)\n"
      "  --find TEXT     mark TEXT, ignoring case, on the first page that has it\n"
      "  --grab FILE.png draw the window with the first page to a PNG file instead of\n"
      "                  opening it; needs no display\n";
  return text;
}

// Options of table and text that choose the output, as render has them.
constexpr const char* kQuickOutputOptions =
    "  -o OUT          the output file; its extension gives the format (see\n"
    "                  'zdreport formats'), or --format EXT\n"
    "  --pages LIST, --separate, --encoding NAME, --csv-raw, --resolution PPI\n"
    "                  as for render (see 'zdreport render --help')\n"
    "  --title TEXT    a line above the first page's content\n"
    "  --page-memory MB as for render\n";

const std::string& TableHelp() {
  static const std::string text =
      std::string(
          "Usage: zdreport table --data SOURCE [--sql QUERY] [--group FIELD]... [--sum FIELD]...\n"
          "                      [--style NAME] [--numbers] [--title TEXT] -o OUT\n"
          "\n"
          "Prints the rows of a table or query as a table, without a template: a title\n"
          "row repeated on every page, the date and time above and the page number below.\n"
          "A table wider than the page goes on further sheets (bars), the record numbers\n"
          "repeated on each.\n"
          "\n"
          "  --data SOURCE   sqlite:FILE.db:TABLE, sqlite:FILE.db with --sql, or csv:FILE.csv\n"
          "  --sql QUERY     the rows of this query (sqlite only)\n"
          "  --delimiter CHAR the field delimiter of a csv source, as for render\n"
          "  --group FIELD   a total row whenever FIELD changes (rows sorted by it);\n"
          "                  repeatable: a change of any of the fields ends the group\n"
          "  --sum FIELD     total FIELD at each group's end and at the end; repeatable\n"
          "  --style NAME    row colours: pricelist, msmoney, brick, desert, eggplant, lilac,\n"
          "                  maple, marine, rose, spruce or wheat (default: none)\n"
          "  --numbers       number the rows in a first column\n") +
      kQuickOutputOptions;
  return text;
}

const std::string& TextHelp() {
  static const std::string text =
      std::string(
          "Usage: zdreport text FILE.txt [--code-page utf-8|ansi|oem] [--wrap] [--title TEXT] -o OUT\n"
          "\n"
          "Prints a text file, with the date and time above and the page number below\n"
          "every page. Lines wider than the page go on further sheets (bars), or wrap.\n"
          "\n"
          "  --code-page CP  how the file's bytes are read: utf-8 (default; other bytes as\n"
          "                  Windows-1252), ansi (Windows-1252) or oem (DOS code page 437)\n"
          "  --wrap          wrap long lines at word boundaries instead\n") +
      kQuickOutputOptions;
  return text;
}

const std::string& DesignHelp() {
  static const std::string text =
      "Usage: zdreport design [TEMPLATE.zdq] [--data SOURCE [OPTIONS]] [--grab FILE.png]\n"
      "\n"
      "Opens the report designer on a template, or on a new report when none is\n"
      "named. With a data source (and the options 'render' takes for it) the\n"
      "designer's preview and print run over that data.\n"
      "\n"
      "  --grab FILE.png draw the designer window with the template open to a PNG\n"
      "                  file instead of opening it; needs no display\n"
      "  --select NAMES  with --grab: the controls to show selected, by display name,\n"
      "                  separated by commas\n"
      "  --panels        with --grab: show the object inspector and the report explorer\n";
  return text;
}

const std::string& ThumbnailHelp() {
  static const std::string text =
      "Usage: zdreport thumbnail FILE OUT.png [--size N]\n"
      "\n"
      "Draws page 1 of a report template or a prepared report to a PNG picture, as\n"
      "file managers show report files. A template is prepared without data: its\n"
      "titles, headers and footers show, no rows; parameters keep their stored\n"
      "values. FILE is told apart by its content, not its name.\n"
      "\n"
      "  --size N        pixels of the picture's longer side, 16 to 4096 (default 256)\n";
  return text;
}

const std::string& WizardHelp() {
  static const std::string text =
      "Usage: zdreport wizard --data SOURCE [--sql QUERY] [--fields A,B,...] [--group FIELD]...\n"
      "                       [--sum FIELD]... [--type TYPE] [--style STYLE] [--title TEXT]\n"
      "                       [--across N] [--frame SHAPE] -o NEW.zdq\n"
      "\n"
      "Writes a new report template laid out by the designer's report wizard over\n"
      "the fields of a table: a title, a caption and a value for each field, the\n"
      "date and page number below every page, a header for each group and totals.\n"
      "Render it with 'zdreport render NEW.zdq --data SOURCE'; groups need the rows\n"
      "in the order of their fields (--sql \"SELECT ... ORDER BY ...\").\n"
      "\n"
      "  --data SOURCE   sqlite:FILE.db:TABLE, sqlite:FILE.db with --sql, or csv:FILE.csv\n"
      "  --sql QUERY     the fields of this query (sqlite only)\n"
      "  --delimiter CHAR the field delimiter of a csv source, as for render\n"
      "  --fields LIST   the fields to print, separated by commas (default: all)\n"
      "  --group FIELD   a group with a header whenever FIELD changes; repeatable up\n"
      "                  to three times, outermost first\n"
      "  --sum FIELD     the total of FIELD at the end of each group and of the\n"
      "                  report; repeatable\n"
      "  --type TYPE     columnar (one line per row, captions above; default),\n"
      "                  tabular (one field under the other) or labels\n"
      "  --style STYLE   standard (default), executive, presentative or corporative\n"
      "  --title TEXT    the report's title (default: the table's name)\n"
      "  --across N      labels: labels side by side (default 2)\n"
      "  --frame SHAPE   labels: none (default), rectangle or rounded\n"
      "  -o NEW.zdq      the template to write (.zdqt: the text form)\n";
  return text;
}

const std::string& PrintersHelp() {
  static const std::string text =
      "Usage: zdreport printers\n"
      "\n"
      "Lists the printers 'zdreport print' can use, the default one marked with *,\n"
      "each with the paper sizes it offers.\n";
  return text;
}

const std::string& FormatsHelp() {
  static const std::string text =
    "Usage: zdreport formats\n"
    "\n"
    "Lists the output formats: the name --format takes, then what it writes.\n";
  return text;
}

const std::string& DemoHelp() {
  static const std::string text =
    "Usage: zdreport demo [--db FILE.db] [-o OUT.pdf]\n"
    "\n"
    "Renders examples/order-lines.zdq over the order lines of the example\n"
    "database, sorted by country, to a PDF file.\n"
    "\n"
    "  --db FILE.db    the SQLite database (default examples/demo.db)\n"
    "  -o OUT.pdf      the output file (default out/order-lines.pdf)\n";
  return text;
}

const std::string& DumpHelp() {
  static const std::string text =
    "Usage: zdreport dump TEMPLATE\n"
    "\n"
    "Prints a report template as text, the form of .zdqt files: each object's\n"
    "class and name, its stored properties as path = value, its children\n"
    "indented.\n";
  return text;
}

const std::string& ConvertHelp() {
  static const std::string text =
    "Usage: zdreport convert IN OUT\n"
    "\n"
    "Converts a report template between the binary form (.zdq) and the text\n"
    "form (.zdqt): IN is read in either form, OUT is written as text when its\n"
    "name ends in .zdqt, else as binary. Converting back gives the same bytes.\n";
  return text;
}

const std::string& MakeExampleHelp() {
  static const std::string text =
    "Usage: zdreport make-example FILE.zdq\n"
    "\n"
    "Writes the example template: the order lines grouped by country, with page\n"
    "header and footer, group header and footer with totals, detail and summary;\n"
    "as text when FILE ends in .zdqt.\n";
  return text;
}

// Walks the arguments of one command, handing out option values.
class TArgumentReader {
 public:
  explicit TArgumentReader(const std::vector<std::string>& args) : args_(args) {}
  bool AtEnd() const { return next_ >= args_.size(); }
  const std::string& Next() { return args_[next_++]; }
  const std::string& ValueOf(const std::string& option) {
    if (AtEnd()) throw EUsageError(option + " needs a value");
    return Next();
  }

 private:
  const std::vector<std::string>& args_;
  size_t next_ = 1;  // after the command name
};

void SetOnce(std::string& target, const std::string& value, const std::string& option) {
  if (!target.empty()) throw EUsageError(option + " given twice");
  if (value.empty()) throw EUsageError(option + " needs a non-empty value");
  target = value;
}

// Page numbers and ascending ranges, such as "1,3-5"; blanks between items.
void CheckPageList(const std::string& text) {
  auto bad = [&] {
    return EUsageError("--pages takes page numbers and ascending ranges such as 1,3-5, got '" + text + "'");
  };
  auto number = [&](const std::string& digits) {
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
      throw bad();
    const long n = std::stol(digits);
    if (n < 1) throw bad();
    return n;
  };
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    std::string item = text.substr(start, comma - start);
    item.erase(0, item.find_first_not_of(' '));
    item.erase(item.find_last_not_of(' ') + 1);
    const size_t dash = item.find('-');
    if (dash == std::string::npos) number(item);
    else if (number(item.substr(0, dash)) > number(item.substr(dash + 1))) throw bad();
    start = comma + 1;
  }
}

std::pair<std::string, std::string> SplitParameter(const std::string& text) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0) throw EUsageError("--param needs NAME=VALUE, got '" + text + "'");
  return {text.substr(0, eq), text.substr(eq + 1)};
}

std::size_t MegabytesOf(const std::string& text) {
  if (text.empty() || text.size() > 7 || text.find_first_not_of("0123456789") != std::string::npos)
    throw EUsageError("--page-memory takes a whole number of megabytes, got '" + text + "'");
  return std::stoul(text);
}

char DelimiterOf(const std::string& text) {
  if (text == "tab" || text == "\\t") return '\t';
  if (text.size() != 1 || text[0] == '"' || text[0] == '\r' || text[0] == '\n')
    throw EUsageError("--delimiter needs one character other than a quote or a line break, or 'tab'; got '" +
                      text + "'");
  return text[0];
}

// Takes arg, and its value, when it is an option of the report input.
bool ReadReportInputOption(const std::string& arg, TArgumentReader& reader, TReportInput& r) {
  if (arg == "--data") SetOnce(r.dataSource, reader.ValueOf(arg), arg);
  else if (arg == "--sql") SetOnce(r.sql, reader.ValueOf(arg), arg);
  else if (arg == "--param") r.parameters.push_back(SplitParameter(reader.ValueOf(arg)));
  else if (arg == "--two-pass") r.twoPass = true;
  else if (arg == "--page-memory") r.pageMemoryMB = MegabytesOf(reader.ValueOf(arg));
  else if (arg == "--allow-path") r.allowedPaths.push_back(reader.ValueOf(arg));
  else if (arg == "--allow-any-path") r.anyAllowedPath = true;
  else if (arg == "--delimiter") r.delimiter = DelimiterOf(reader.ValueOf(arg));
  else return false;
  return true;
}

void ReadPageList(const std::string& arg, TArgumentReader& reader, std::string& pages) {
  SetOnce(pages, reader.ValueOf(arg), arg);
  CheckPageList(pages);
}

int ResolutionOf(const std::string& text) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos ||
      std::stoi(text) < 1)
    throw EUsageError("--resolution takes pixels per inch from 1 to 9999, got '" + text + "'");
  return std::stoi(text);
}

// Takes arg, and its value, when it is an option of the output.
bool ReadOutputOption(const std::string& arg, TArgumentReader& reader, TRenderOptions& r) {
  if (arg == "--format") SetOnce(r.format, reader.ValueOf(arg), arg);
  else if (arg == "-o" || arg == "--output") SetOnce(r.output, reader.ValueOf(arg), "-o");
  else if (arg == "--pages") ReadPageList(arg, reader, r.pages);
  else if (arg == "--separate") r.separate = true;
  else if (arg == "--encoding") SetOnce(r.encoding, reader.ValueOf(arg), arg);
  else if (arg == "--csv-raw") r.csvRaw = true;
  else if (arg == "--resolution") r.resolution = ResolutionOf(reader.ValueOf(arg));
  else return false;
  return true;
}

// Options of a template's input apply to the template named last before
// them; those before any template, to the first.
void ParseRender(const std::vector<std::string>& args, TCommand& command) {
  TRenderOptions& r = command.render;
  TArgumentReader reader(args);
  TReportInput* input = &r;
  while (!reader.AtEnd()) {
    const std::string& arg = reader.Next();
    if (ReadReportInputOption(arg, reader, *input) || ReadOutputOption(arg, reader, r)) continue;
    if (!arg.empty() && arg[0] == '-') throw EUsageError("unknown option '" + arg + "'");
    else if (r.templateFile.empty()) SetOnce(r.templateFile, arg, "the template file");
    else {
      input = &r.moreTemplates.emplace_back();
      input->templateFile = arg;
    }
  }
  if (r.templateFile.empty()) throw EUsageError("render needs a template file");
  if (r.output.empty()) throw EUsageError("render needs an output file (-o OUT)");
}

int CopiesOf(const std::string& text) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos ||
      std::stoi(text) < 1)
    throw EUsageError("--copies takes a number from 1 to 9999, got '" + text + "'");
  return std::stoi(text);
}

std::string OneOf(const std::string& option, const std::string& value, std::initializer_list<const char*> allowed) {
  std::string list;
  for (const char* a : allowed) {
    if (value == a) return value;
    list += (list.empty() ? "" : ", ") + std::string(a);
  }
  throw EUsageError(option + " takes one of " + list + ", got '" + value + "'");
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         std::equal(tail.rbegin(), tail.rend(), text.rbegin(),
                    [](char a, char b) { return std::tolower(uint8_t(a)) == std::tolower(uint8_t(b)); });
}

void ParseTable(const std::vector<std::string>& args, TCommand& command) {
  TQuickPrintOptions& q = command.quick;
  TArgumentReader reader(args);
  while (!reader.AtEnd()) {
    const std::string& arg = reader.Next();
    if (ReadOutputOption(arg, reader, q)) continue;
    if (arg == "--data") SetOnce(q.dataSource, reader.ValueOf(arg), arg);
    else if (arg == "--sql") SetOnce(q.sql, reader.ValueOf(arg), arg);
    else if (arg == "--delimiter") q.delimiter = DelimiterOf(reader.ValueOf(arg));
    else if (arg == "--group") q.groupFields += (q.groupFields.empty() ? "" : ";") + reader.ValueOf(arg);
    else if (arg == "--sum") q.sumFields.push_back(reader.ValueOf(arg));
    else if (arg == "--style") SetOnce(q.style, reader.ValueOf(arg), arg);  // checked by table
    else if (arg == "--numbers") q.recordNumbers = true;
    else if (arg == "--title") SetOnce(q.title, reader.ValueOf(arg), arg);
    else if (arg == "--page-memory") q.pageMemoryMB = MegabytesOf(reader.ValueOf(arg));
    else throw EUsageError("unexpected argument '" + arg + "'");
  }
  if (q.dataSource.empty()) throw EUsageError("table needs a data source (--data)");
  if (q.output.empty()) throw EUsageError("table needs an output file (-o OUT)");
  if (!q.groupFields.empty() && q.sumFields.empty()) throw EUsageError("--group needs a field to total (--sum)");
}

void ParseText(const std::vector<std::string>& args, TCommand& command) {
  TQuickPrintOptions& q = command.quick;
  TArgumentReader reader(args);
  while (!reader.AtEnd()) {
    const std::string& arg = reader.Next();
    if (ReadOutputOption(arg, reader, q)) continue;
    if (arg == "--code-page") SetOnce(q.codePage, OneOf(arg, reader.ValueOf(arg), {"utf-8", "ansi", "oem"}), arg);
    else if (arg == "--wrap") q.wordWrap = true;
    else if (arg == "--title") SetOnce(q.title, reader.ValueOf(arg), arg);
    else if (arg == "--page-memory") q.pageMemoryMB = MegabytesOf(reader.ValueOf(arg));
    else if (!arg.empty() && arg[0] == '-') throw EUsageError("unknown option '" + arg + "'");
    else SetOnce(q.textFile, arg, "the text file");
  }
  if (q.textFile.empty()) throw EUsageError("text needs a text file");
  if (q.output.empty()) throw EUsageError("text needs an output file (-o OUT)");
}

void ParsePrint(const std::vector<std::string>& args, TCommand& command) {
  TPrintOptions& p = command.print;
  TArgumentReader reader(args);
  bool copiesGiven = false;
  while (!reader.AtEnd()) {
    const std::string& arg = reader.Next();
    if (ReadReportInputOption(arg, reader, p)) continue;
    if (arg == "--printer") SetOnce(p.printer, reader.ValueOf(arg), arg);
    else if (arg == "--copies") {
      if (copiesGiven) throw EUsageError("--copies given twice");
      p.copies = CopiesOf(reader.ValueOf(arg));
      copiesGiven = true;
    }
    else if (arg == "--collate") p.collate = true;
    else if (arg == "--pages") ReadPageList(arg, reader, p.pages);
    else if (arg == "--duplex") SetOnce(p.duplex, OneOf(arg, reader.ValueOf(arg), {"none", "long", "short"}), arg);
    else if (arg == "--paper") SetOnce(p.paper, reader.ValueOf(arg), arg);
    else if (arg == "--paper-source") SetOnce(p.paperSource, reader.ValueOf(arg), arg);  // checked by print
    else if (arg == "--orientation")
      SetOnce(p.orientation, OneOf(arg, reader.ValueOf(arg), {"portrait", "landscape"}), arg);
    else if (arg == "-o" || arg == "--output") SetOnce(p.output, reader.ValueOf(arg), "-o");
    else if (!arg.empty() && arg[0] == '-') throw EUsageError("unknown option '" + arg + "'");
    else if (EndsWith(arg, ".zqp")) SetOnce(p.preparedFile, arg, "the prepared report");
    else SetOnce(p.templateFile, arg, "the template file");
  }
  if (!p.preparedFile.empty()) {
    if (!p.templateFile.empty()) throw EUsageError("print takes a template or a prepared report, not both");
    if (!p.dataSource.empty() || !p.sql.empty() || !p.parameters.empty() || p.twoPass)
      throw EUsageError("a prepared report is printed as saved: --data, --sql, --param and --two-pass do not apply");
    return;
  }
  if (p.templateFile.empty()) throw EUsageError("print needs a template or a prepared report (.zqp)");
}

void ParsePreview(const std::vector<std::string>& args, TCommand& command) {
  TPreviewOptions& p = command.preview;
  TArgumentReader reader(args);
  while (!reader.AtEnd()) {
    const std::string& arg = reader.Next();
    if (ReadReportInputOption(arg, reader, p)) continue;
    if (arg == "--grab") SetOnce(p.grab, reader.ValueOf(arg), arg);
    else if (arg == "--find") SetOnce(p.find, reader.ValueOf(arg), arg);
    else if (arg == "--thumbnails") p.thumbnails = true;
    else if (arg == "--outlines") p.outlines = true;
    else if (arg == "--no-data") p.noData = true;
    else if (!arg.empty() && arg[0] == '-') throw EUsageError("unknown option '" + arg + "'");
    else if (EndsWith(arg, ".zqp")) SetOnce(p.preparedFile, arg, "the prepared report");
    else SetOnce(p.templateFile, arg, "the template file");
  }
  if (!p.grab.empty() && !EndsWith(p.grab, ".png")) throw EUsageError("--grab writes a PNG file: name it FILE.png");
  if (p.noData && (!p.dataSource.empty() || !p.sql.empty()))
    throw EUsageError("--no-data prepares without a data source: --data and --sql do not apply");
  if (!p.preparedFile.empty()) {
    if (!p.templateFile.empty()) throw EUsageError("preview takes a template or a prepared report, not both");
    if (!p.dataSource.empty() || !p.sql.empty() || !p.parameters.empty() || p.twoPass)
      throw EUsageError("a prepared report is shown as saved: --data, --sql, --param and --two-pass do not apply");
    return;
  }
  if (p.templateFile.empty()) throw EUsageError("preview needs a template or a prepared report (.zqp)");
}

void ParseDesign(const std::vector<std::string>& args, TCommand& command) {
  TDesignOptions& d = command.design;
  std::string selected;
  TArgumentReader reader(args);
  while (!reader.AtEnd()) {
    const std::string& arg = reader.Next();
    if (ReadReportInputOption(arg, reader, d)) continue;
    if (arg == "--grab") SetOnce(d.grab, reader.ValueOf(arg), arg);
    else if (arg == "--select") SetOnce(selected, reader.ValueOf(arg), arg);
    else if (arg == "--panels") d.panels = true;
    else if (!arg.empty() && arg[0] == '-') throw EUsageError("unknown option '" + arg + "'");
    else SetOnce(d.templateFile, arg, "the template file");
  }
  if (!d.grab.empty() && !EndsWith(d.grab, ".png")) throw EUsageError("--grab writes a PNG file: name it FILE.png");
  if (!selected.empty() && d.grab.empty()) throw EUsageError("--select goes with --grab");
  if (d.panels && d.grab.empty()) throw EUsageError("--panels goes with --grab");
  if (!d.dataSource.empty() && d.templateFile.empty()) throw EUsageError("--data needs a template to run over");
  if (d.dataSource.empty() && (!d.sql.empty() || !d.parameters.empty()))
    throw EUsageError("--sql and --param need a data source (--data)");
  for (size_t start = 0; !selected.empty() && start <= selected.size();) {
    const size_t comma = std::min(selected.find(',', start), selected.size());
    if (comma > start) d.selected.push_back(selected.substr(start, comma - start));
    start = comma + 1;
  }
}

int ThumbnailSizeOf(const std::string& text) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos ||
      std::stoi(text) < 16 || std::stoi(text) > 4096)
    throw EUsageError("--size takes a number of pixels from 16 to 4096, got '" + text + "'");
  return std::stoi(text);
}

void ParseThumbnail(const std::vector<std::string>& args, TCommand& command) {
  TThumbnailOptions& t = command.thumbnail;
  bool sizeGiven = false;
  TArgumentReader reader(args);
  while (!reader.AtEnd()) {
    const std::string& arg = reader.Next();
    if (arg == "--size") {
      if (sizeGiven) throw EUsageError("--size given twice");
      t.size = ThumbnailSizeOf(reader.ValueOf(arg));
      sizeGiven = true;
    } else if (!arg.empty() && arg[0] == '-') throw EUsageError("unknown option '" + arg + "'");
    else if (t.input.empty()) t.input = arg;
    else SetOnce(t.output, arg, "the picture file");
  }
  if (t.output.empty()) throw EUsageError("thumbnail needs a report file and a picture file");
}

void ParseWizard(const std::vector<std::string>& args, TCommand& command) {
  TWizardOptions& w = command.wizard;
  std::string fields;
  TArgumentReader reader(args);
  while (!reader.AtEnd()) {
    const std::string& arg = reader.Next();
    if (arg == "--data") SetOnce(w.dataSource, reader.ValueOf(arg), arg);
    else if (arg == "--sql") SetOnce(w.sql, reader.ValueOf(arg), arg);
    else if (arg == "--delimiter") w.delimiter = DelimiterOf(reader.ValueOf(arg));
    else if (arg == "--fields") SetOnce(fields, reader.ValueOf(arg), arg);
    else if (arg == "--group") w.groups.push_back(reader.ValueOf(arg));
    else if (arg == "--sum") w.sums.push_back(reader.ValueOf(arg));
    else if (arg == "--type") SetOnce(w.type, OneOf(arg, reader.ValueOf(arg), {"columnar", "tabular", "labels"}), arg);
    else if (arg == "--style")
      SetOnce(w.style, OneOf(arg, reader.ValueOf(arg), {"standard", "executive", "presentative", "corporative"}), arg);
    else if (arg == "--title") SetOnce(w.title, reader.ValueOf(arg), arg);
    else if (arg == "--across") SetOnce(w.across, reader.ValueOf(arg), arg);
    else if (arg == "--frame") SetOnce(w.frame, OneOf(arg, reader.ValueOf(arg), {"none", "rectangle", "rounded"}), arg);
    else if (arg == "-o" || arg == "--output") SetOnce(w.output, reader.ValueOf(arg), "-o");
    else throw EUsageError("unexpected argument '" + arg + "'");
  }
  if (w.dataSource.empty()) throw EUsageError("wizard needs a data source (--data)");
  if (w.output.empty()) throw EUsageError("wizard needs an output file (-o NEW.zdq)");
  if (w.groups.size() > 3) throw EUsageError("the wizard makes at most three groups");
  const bool labels = w.type == "labels";
  if (labels && (!w.groups.empty() || !w.sums.empty() || !w.style.empty() || !w.title.empty()))
    throw EUsageError("labels take no --group, --sum, --style or --title");
  if (!labels && (!w.across.empty() || !w.frame.empty())) throw EUsageError("--across and --frame are for labels");
  if (!w.across.empty() &&
      (w.across.size() > 3 || w.across.find_first_not_of("0123456789") != std::string::npos || std::stoi(w.across) < 1))
    throw EUsageError("--across takes a number from 1 to 999, got '" + w.across + "'");
  for (size_t start = 0; !fields.empty() && start <= fields.size();) {
    const size_t comma = std::min(fields.find(',', start), fields.size());
    if (comma > start) w.fields.push_back(fields.substr(start, comma - start));
    start = comma + 1;
  }
}

void ParseDemo(const std::vector<std::string>& args, TCommand& command) {
  std::string database, output;
  TArgumentReader reader(args);
  while (!reader.AtEnd()) {
    const std::string& arg = reader.Next();
    if (arg == "--db") SetOnce(database, reader.ValueOf(arg), arg);
    else if (arg == "-o" || arg == "--output") SetOnce(output, reader.ValueOf(arg), "-o");
    else throw EUsageError("unexpected argument '" + arg + "'");
  }
  TRenderOptions& r = command.render;
  r.templateFile = "examples/order-lines.zdq";
  r.dataSource = "sqlite:" + (database.empty() ? std::string("examples/demo.db") : database) + ":order_lines";
  r.sql = "SELECT * FROM order_lines ORDER BY country, order_id, product";
  r.output = output.empty() ? std::string("out/order-lines.pdf") : output;
  r.format = "pdf";
}

void ParseOneFile(const std::vector<std::string>& args, TCommand& command) {
  if (args.size() != 2 || args[1].empty() || args[1][0] == '-')
    throw EUsageError(args[0] + " needs exactly one file name");
  command.file = args[1];
}

void ParseConvert(const std::vector<std::string>& args, TCommand& command) {
  if (args.size() != 3 || args[1].empty() || args[2].empty() || args[1][0] == '-' || args[2][0] == '-')
    throw EUsageError("convert needs an input and an output file");
  command.file = args[1];
  command.output = args[2];
}

void ParseNoArguments(const std::vector<std::string>& args, TCommand&) {
  if (args.size() != 1) throw EUsageError(args[0] + " takes no arguments");
}

struct TSubcommand {
  std::string_view name;
  TCommand::TKind kind;
  const char* summary;  // for the list of commands
  const std::string& (*help)();
  void (*parse)(const std::vector<std::string>& args, TCommand& command);
};

constexpr TSubcommand kSubcommands[] = {
    {"render", TCommand::TKind::Render, "prepare a report template over a data source and export it",
     RenderHelp, ParseRender},
    {"print", TCommand::TKind::Print, "print a report template or a prepared report on a printer", PrintHelp,
     ParsePrint},
    {"preview", TCommand::TKind::Preview, "show a report template or a prepared report in the preview window",
     PreviewHelp, ParsePreview},
    {"table", TCommand::TKind::Table, "print the rows of a table or query without a template", TableHelp,
     ParseTable},
    {"text", TCommand::TKind::Text, "print a text file with page headers and footers", TextHelp, ParseText},
    {"design", TCommand::TKind::Design, "edit a report template in the designer window", DesignHelp,
     ParseDesign},
    {"thumbnail", TCommand::TKind::Thumbnail, "draw page 1 of a template or prepared report to a PNG picture",
     ThumbnailHelp, ParseThumbnail},
    {"wizard", TCommand::TKind::Wizard, "write a new report template laid out over a table's fields",
     WizardHelp, ParseWizard},
    {"printers", TCommand::TKind::Printers, "list the printers and their paper sizes", PrintersHelp,
     ParseNoArguments},
    {"formats", TCommand::TKind::Formats, "list the output formats", FormatsHelp, ParseNoArguments},
    {"demo", TCommand::TKind::Demo, "render the example report over the example database", DemoHelp,
     ParseDemo},
    {"dump", TCommand::TKind::Dump, "list a report template's objects and stored properties", DumpHelp,
     ParseOneFile},
    {"convert", TCommand::TKind::Convert, "convert a report template between binary and text", ConvertHelp,
     ParseConvert},
    {"make-example", TCommand::TKind::MakeExample, "write the example template", MakeExampleHelp,
     ParseOneFile},
};

const TSubcommand* FindSubcommand(const std::string& name) {
  for (const TSubcommand& sub : kSubcommands)
    if (sub.name == name) return &sub;
  return nullptr;
}

bool IsHelpOption(const std::string& arg) { return arg == "--help" || arg == "-h"; }

std::string CommandList() {
  std::string text =
      "Usage: zdreport COMMAND [OPTIONS]\n"
      "       zdreport --version\n"
      "\n"
      "Commands:\n";
  for (const TSubcommand& sub : kSubcommands) {
    std::string name(sub.name);
    name.resize(std::max<size_t>(name.size() + 2, 14), ' ');
    text += "  " + name + sub.summary + "\n";
  }
  return text +
         "\n"
         "'zdreport COMMAND --help' shows the usage and options of a command.\n"
         "Exit status: 0 done, 1 the report could not be made (\"zdreport: error: ...\"),\n"
         "2 the command line is wrong.\n";
}

}  // namespace

TCommand ParseCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) throw EUsageError("no command given");
  const std::string& name = args[0];
  TCommand command;
  if (IsHelpOption(name) || name == "help") return command;
  if (name == "--version") {
    command.kind = TCommand::TKind::Version;
    return command;
  }
  const TSubcommand* sub = FindSubcommand(name);
  if (!sub) throw EUsageError((name[0] == '-' ? "unknown option '" : "unknown command '") + name + "'");
  command.name = name;
  if (std::any_of(args.begin() + 1, args.end(), IsHelpOption)) return command;
  command.kind = sub->kind;
  try {
    sub->parse(args, command);
  } catch (const EUsageError& e) {
    throw EUsageError(e.what(), name);
  }
  return command;
}

std::string HelpText(const std::string& command) {
  if (const TSubcommand* sub = FindSubcommand(command)) return sub->help();
  return CommandList();
}

}  // namespace zd::cli
