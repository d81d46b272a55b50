// zdbench: throughput of the hot paths on a generated SQLite table.
// Prints rows/s and pages/s for reading, preparing, playing, printing and
// exporting pages, bytes/page of the files written, and the peak resident
// memory. Usage: zdbench [ROWS]
#include <sys/resource.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "export/ExportRegistry.h"
#include "export/picture/BitmapExport.h"
#include "export/pdf/PdfPageExport.h"
#include "host/data/SqlDataSet.h"
#include "host/emf/detail/MetafilePlayer.h"
#include "host/printing/Printer.h"
#include "host/printsupport/SystemPrinters.h"
#include "print/PrintZd.h"
#include "quickprint/ZdqData.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"

namespace {

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report(const char* what, double count, const char* unit, double seconds) {
  std::printf("%-34s %10.0f %s/s  (%.0f %s in %.2f s)\n", what, count / seconds, unit, count, unit,
              seconds);
}

// Exporting is timed over this many pages of the banded report.
constexpr int kExportPages = 200;

long long FileSize(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? 0 : (long long)size;
}

// The files one export wrote, all of them.
long long FolderSize(const QString& folder) {
  long long total = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.toStdString()))
    total += FileSize(entry.path().string());
  return total;
}

long PeakMemoryKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void CreateTable(const QString& path, int rows) {
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bench-create");
    db.setDatabaseName(path);
    if (!db.open()) throw std::runtime_error("cannot create the benchmark database");
    QSqlQuery q(db);
    q.exec("CREATE TABLE lines (id INTEGER, customer TEXT, country TEXT, product TEXT, "
           "quantity INTEGER, amount REAL)");
    db.transaction();
    q.prepare("INSERT INTO lines VALUES (?, ?, ?, ?, ?, ?)");
    static const char* countries[] = {"France", "Germany", "Spain", "Sweden", "Czechia"};
    for (int i = 1; i <= rows; ++i) {
      q.addBindValue(i);
      q.addBindValue(QString("Customer %1").arg(i % 977));
      q.addBindValue(countries[i % 5]);
      q.addBindValue(QString("Product %1").arg(i % 131));
      q.addBindValue(i % 37 + 1);
      q.addBindValue((i % 9973) / 7.0);
      q.exec();
    }
    db.commit();
  }
  QSqlDatabase::removeDatabase("bench-create");
}

// One text line per row with a rule under it: the shape of a plain list report.
class TRowListReport : public zd::TZdPrintComponent {
 public:
  explicit TRowListReport(zd::TDataSet& rows) : rows_(rows) { SetAnimatedStatus(false); }

  void PrepareReport() override {
    zd::TZdPrintComponent::PrepareReport();
    BeginDoc();
    rows_.First();
    zd::TField& id = rows_.FieldByName("id");
    zd::TField& customer = rows_.FieldByName("customer");
    zd::TField& product = rows_.FieldByName("product");
    zd::TField& amount = rows_.FieldByName("amount");
    while (!rows_.Eof()) {
      NewPage();
      zd::TPageProducer& page = Producer();
      zd::TCanvas& canvas = *page.MFCanvas();
      canvas.Font.Size = 9;
      while (!rows_.Eof() && page.Fits(kLine)) {
        const int left = CurrentPage()->OffsetLeft, y = page.intCurHeight();
        canvas.TextOut(left, y, id.AsString());
        canvas.TextOut(left + 80, y, customer.AsString());
        canvas.TextOut(left + 300, y, product.AsString());
        canvas.TextOut(left + 500, y, amount.AsString());
        canvas.MoveTo(left, y + kLine - 1);
        canvas.LineTo(left + 700, y + kLine - 1);
        page.Advance(kLine);
        rows_.Next();
      }
    }
    EndDoc();
  }

 private:
  static constexpr int kLine = 18;
  zd::TDataSet& rows_;
};

// A banded report over the rows grouped by country: a page header, a
// detail band of four controls and a group header and footer.
class TBandedBench {
 public:
  explicit TBandedBench(zd::TDataSet& rows) {
    report_.SetAnimatedStatus(false);
    report_.SetDataSet(&rows);
    report_.PrinterSetting().SetPrinterName(zd::TSystemPrinter::VirtualPrinterName);
    report_.PrinterSetting().SetPaperSize(zd::TZdqPaperSize::psA4);
    report_.DeleteAllBands();
    zd::TZdqBand& header = band(zd::TBandType::btPageHeader, 24);
    header.SetNewPage(true);
    label(header, "Orders by country", 0);
    int h = 0, f = 0;
    report_.AddGroup(h, f, false, false, false, 0, "country");
    report_.GetBand(h)->SetHeight(22);
    expression(*report_.GetBand(h), "country", 0);
    report_.GetBand(f)->SetHeight(22);
    label(*report_.GetBand(f), "End of country", 0);
    zd::TZdqBand& detail = band(zd::TBandType::btDetail, 18);
    expression(detail, "id", 0);
    expression(detail, "customer", 80);
    expression(detail, "product", 300);
    label(detail, "row", 500);
  }
  zd::TZdReport& Report() { return report_; }

 private:
  zd::TZdqBand& band(zd::TBandType type, int height) {
    zd::TZdqBand& b = *report_.GetBand(report_.AddBand(type, true));
    b.SetHeight(height);
    b.SetLeft(0);
    return b;
  }
  static void place(zd::TZdqControl& c, int left) {
    c.SetLeft(left);
    c.SetTop(0);
    c.SetWidth(200);
    c.SetHeight(16);
  }
  static void label(zd::TZdqBand& b, const std::string& text, int left) {
    auto* l = new zd::TZdqLabel(&b);
    l->SetDisplayName(text);
    place(*l, left);
  }
  static void expression(zd::TZdqBand& b, const std::string& text, int left) {
    auto* e = new zd::TZdqExpression(&b);
    e->SetExpression(text);
    place(*e, left);
  }

  zd::TZdReport report_;
};

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  zd::InstallSystemPrinters();
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  if (rows < 1) {
    std::fprintf(stderr, "usage: zdbench [ROWS]\n");
    return 2;
  }
  try {
    QTemporaryDir dir;
    const QString dbPath = dir.filePath("bench.db");
    CreateTable(dbPath, rows);

    zd::TSqlDataSet lines;
    lines.SetDatabaseName(dbPath.toStdString());
    lines.SetTableName("lines");
    Report("open + read rows (SQLite)", rows, "rows", Seconds([&] {
             lines.Open();
             double sum = 0;
             for (lines.First(); !lines.Eof(); lines.Next()) sum += lines.FieldByName("amount").AsFloat();
             if (sum < 0) std::puts("");
           }));

    zd::TSystemPrinter::Instance().SetVirtualPrinterEnabled(true);
    TRowListReport report(lines);
    report.PrinterSetting().SetPrinterName(zd::TSystemPrinter::VirtualPrinterName);
    report.PrinterSetting().SetPaperSize(zd::TZdqPaperSize::psA4);
    const double prepare = Seconds([&] { report.Prepare(); });
    const int pages = report.Pages().Count();
    Report("prepare (rows)", rows, "rows", prepare);
    Report("prepare (pages)", pages, "pages", prepare);

    const int played = std::min(pages, 200);
    QImage image(report.Pages().At(0).PageWidth(), report.Pages().At(0).PageHeight(),
                 QImage::Format_RGB32);
    Report("play page metafiles onto an image", played, "pages", Seconds([&] {
             for (int i = 0; i < played; ++i) {
               image.fill(Qt::white);
               QPainter painter(&image);
               zd::PlayMetafile(*report.Pages().At(i).Drawing(), painter, QRectF(image.rect()));
             }
           }));

    report.OutputFileName = dir.filePath("bench.pdf").toStdString();
    Report("print to the virtual PDF printer", pages, "pages", Seconds([&] { report.PrintReport(); }));
    std::printf("%-34s %10.0f bytes/page\n", "", double(FileSize(report.OutputFileName)) / pages);
    // The same pages through the PDF exporter that keeps the page.
    const std::string pagePdf = dir.filePath("bench-pages.pdf").toStdString();
    zd::TStringList all;
    for (int p = 1; p <= pages; ++p) all.Add(std::to_string(p));
    Report("export the same pages as pdf", pages, "pages", Seconds([&] {
             report.ExportTo(pagePdf, false, all, zd::ExportClassOf<zd::TZdqExportToPagePDF>());
           }));
    std::printf("%-34s %10.0f bytes/page\n", "", double(FileSize(pagePdf)) / pages);

    zd::TSqlDataSet byCountry;
    byCountry.SetDatabaseName(dbPath.toStdString());
    byCountry.SetSQL("SELECT * FROM lines ORDER BY country, id");
    byCountry.Open();
    TBandedBench banded(byCountry);
    const double bandedSeconds = Seconds([&] { banded.Report().Prepare(); });
    Report("prepare banded report (rows)", rows, "rows", bandedSeconds);
    Report("prepare banded report (pages)", banded.Report().Pages().Count(), "pages", bandedSeconds);

    // The same rows and fields printed without a template.
    zd::TSqlDataSet sameFields;
    sameFields.SetDatabaseName(dbPath.toStdString());
    sameFields.SetSQL("SELECT id, customer, product FROM lines ORDER BY country, id");
    sameFields.Open();
    zd::TZdPrintData quick;
    quick.SetAnimatedStatus(false);
    quick.PrinterSetting().SetPrinterName(zd::TSystemPrinter::VirtualPrinterName);
    quick.PrinterSetting().SetPaperSize(zd::TZdqPaperSize::psA4);
    quick.ColumnSource = zd::TColumnSource::csDataSet;
    quick.DataSet = &sameFields;
    const double quickSeconds = Seconds([&] { quick.Prepare(); });
    Report("quick print the same rows (rows)", rows, "rows", quickSeconds);
    Report("quick print the same rows (pages)", quick.Pages().Count(), "pages", quickSeconds);
    std::printf("%-34s %10.2fx the banded report's rows/s\n", "", bandedSeconds / quickSeconds);

    // Every registered exporter over the same pages, as one document; the
    // bitmap formats one file per page, as a picture of all would be huge.
    const int exported = std::min(banded.Report().Pages().Count(), kExportPages);
    zd::TStringList wanted;
    for (int p = 1; p <= exported; ++p) wanted.Add(std::to_string(p));
    for (const zd::TZdqRegisterExport& format : zd::ZdqExports()) {
      const bool perPage = dynamic_cast<zd::TZdqExportToBMP*>(format.ExportClass(nullptr).get()) != nullptr;
      const QString folder = QString::fromStdString("bench-" + format.FormatName);
      QDir(dir.path()).mkpath(folder);
      const std::string file =
          dir.filePath(folder + QString::fromStdString("/out." + format.FileExtension)).toStdString();
      const double seconds =
          Seconds([&] { banded.Report().ExportTo(file, perPage, wanted, format.ExportClass); });
      const std::string what = "export " + format.FormatName + " (" + std::to_string(exported) + " pages" +
                               (perPage ? ", a file each" : "") + ")";
      Report(what.c_str(), exported, "pages", seconds);
      std::printf("%-34s %10.0f bytes/page\n", "", double(FolderSize(dir.filePath(folder))) / exported);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zdbench: %s\n", e.what());
    return 1;
  }
  std::printf("%-34s %10ld KiB\n", "peak memory (resident)", PeakMemoryKb());
  return 0;
}
