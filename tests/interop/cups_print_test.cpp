// Printing through a real print system. Each test runs a CUPS daemon of its
// own in a temporary folder, with one queue whose device is a file: CUPS
// filters every job as for a printer, and the file receives what the printer
// would. zdreport prints to it as to any printer; poppler's tools read the
// result and ipptool asks CUPS what it was told.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/interop/CommandLineRun.h"

using namespace zd::test;

namespace {

const std::string kQueue = "zdtest";

class TCupsServer {
 public:
  TCupsServer() {
    const QString root = dir_.path();
    for (const char* sub : {"spool", "cache", "state", "log", "ppd"}) QDir(root).mkpath(sub);
    // Filters and the device run as the lp user.
    for (const QString& path : {root, root + "/spool", root + "/cache", root + "/state", root + "/log", root + "/ppd"})
      QFile::setPermissions(path, QFileDevice::Permissions(0x7777));
    write("cupsd.conf", "Listen " + socket() + "\nLogLevel warn\nWebInterface No\nBrowsing Off\n"
                        "PreserveJobHistory Yes\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n");
    write("cups-files.conf", "ServerRoot " + root.toStdString() + "\nRequestRoot " + root.toStdString() +
                                 "/spool\nCacheDir " + root.toStdString() + "/cache\nStateDir " +
                                 root.toStdString() + "/state\nTempDir " + root.toStdString() +
                                 "/spool\nErrorLog " + root.toStdString() + "/log/error_log\nAccessLog " +
                                 root.toStdString() + "/log/access_log\nPageLog " + root.toStdString() +
                                 "/log/page_log\nFileDevice Yes\nUser lp\nGroup lp\n");
    QFile output(QString::fromStdString(Output()));
    output.open(QIODevice::WriteOnly);
    output.setPermissions(QFileDevice::Permissions(0x6666));

    environment_ = QProcessEnvironment::systemEnvironment();
    environment_.insert("CUPS_SERVER", QString::fromStdString(socket()));
    daemon_.start("/usr/sbin/cupsd", {"-f", "-c", root + "/cupsd.conf", "-s", root + "/cups-files.conf"});
    if (!daemon_.waitForStarted(5000)) {
      error_ = "cannot start /usr/sbin/cupsd (scripts/setup --tests installs CUPS)";
      return;
    }
    if (!waitFor([&] { return Tool("lpstat", {"-r"}).out == "scheduler is running\n"; })) {
      error_ = "cupsd did not answer: " + std::string(daemon_.readAllStandardError().toStdString());
      return;
    }
    const ToolRun added = Tool("lpadmin", {"-p", kQueue, "-E", "-v", "file://" + Output(), "-P",
                                           kSource + "/tests/interop/data/pdf-file-printer.ppd"});
    if (added.exitCode != 0)
      error_ = "lpadmin failed: " + added.err + daemon_.readAllStandardError().toStdString() + log("error_log");
  }

  ~TCupsServer() {
    daemon_.terminate();
    if (!daemon_.waitForFinished(5000)) daemon_.kill();
    daemon_.waitForFinished();
  }

  // Empty when the server runs with its queue.
  const std::string& Error() const { return error_; }
  const QProcessEnvironment& Environment() const { return environment_; }
  std::string Output() const { return dir_.path().toStdString() + "/out.pdf"; }

  ToolRun Tool(const std::string& program, const std::vector<std::string>& args) const {
    return RunTool(program, args, environment_);
  }

  // Prints through zdreport and waits until CUPS has finished every job.
  ToolRun Print(std::vector<std::string> args) const {
    args.insert(args.begin(), "print");
    const ToolRun run = Zdreport(args, environment_);
    if (run.exitCode == 0 && !JobsDone()) return {-1, run.out, "the print job did not finish"};
    return run;
  }

  bool JobsDone() const {
    return waitFor([&] { return Tool("lpstat", {"-o", kQueue}).out.empty(); });
  }

  // The job attributes CUPS keeps of its latest job, as ipptool prints them.
  std::string LastJobAttributes() const {
    const ToolRun jobs = Tool("lpstat", {"-W", "completed", "-o", kQueue});
    std::smatch id;
    if (!std::regex_search(jobs.out, id, std::regex(kQueue + "-(\\d+)"))) return {};
    std::string uri = "ipp://" + QUrl::toPercentEncoding(QString::fromStdString(socket())).toStdString() +
                      "/jobs/" + id[1].str();
    return Tool("ipptool", {"-tv", uri, "get-job-attributes.test"}).out;
  }

 private:
  std::string log(const char* name) const {
    QFile file(dir_.path() + "/log/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
  }

  std::string socket() const { return dir_.path().toStdString() + "/cups.sock"; }

  void write(const char* name, const std::string& text) {
    QFile file(dir_.path() + "/" + name);
    file.open(QIODevice::WriteOnly);
    file.write(text.data(), qint64(text.size()));
  }

  template <typename Ready>
  static bool waitFor(Ready ready) {
    for (int i = 0; i < 300; ++i) {
      if (ready()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }

  QTemporaryDir dir_;
  QProcessEnvironment environment_;
  QProcess daemon_;
  std::string error_;
};

class CupsPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureGuiApp();
    server_ = std::make_unique<TCupsServer>();
    ASSERT_EQ(server_->Error(), "");
  }

  std::vector<std::string> TemplateArgs(std::vector<std::string> extra) const {
    std::vector<std::string> args = {kTemplate, "--data", kData, "--sql", kOrderedLines, "--printer", kQueue};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }

  std::string Info() const { return server_->Tool("pdfinfo", {server_->Output()}).out; }
  std::string PageText(int page) const {
    const std::string n = std::to_string(page);
    return server_->Tool("pdftotext", {"-f", n, "-l", n, "-layout", server_->Output(), "-"}).out;
  }
  // The footer's "Page N of M", however the layout spaces it.
  bool ShowsPageNumber(int sheet, int page, int pages) const {
    return std::regex_search(PageText(sheet), std::regex("Page\\s+" + std::to_string(page) + "\\s+of\\s+" +
                                                         std::to_string(pages) + "\\b"));
  }
  static int PagesPrepared(const ToolRun& run) {
    std::smatch m;
    return std::regex_search(run.out, m, std::regex("of (\\d+) pages")) ? std::stoi(m[1]) : -1;
  }

  std::unique_ptr<TCupsServer> server_;
};

TEST_F(CupsPrintTest, CopiesCollatedOnTheChosenPaperBothSidesReachThePrinter) {
  const ToolRun run = server_->Print(TemplateArgs({"--pages", "1-2", "--copies", "2", "--collate", "--paper",
                                                   "Letter", "--duplex", "long"}));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("(4 sheets) sent to " + kQueue), std::string::npos) << run.out;
  const std::string info = Info();
  EXPECT_NE(info.find("Pages:           4"), std::string::npos) << info;
  EXPECT_NE(info.find("612 x 792 pts (letter)"), std::string::npos) << info;
  // Collated: the whole selection, then again.
  const int pages = PagesPrepared(run);
  for (int sheet = 1; sheet <= 4; ++sheet)
    EXPECT_TRUE(ShowsPageNumber(sheet, sheet % 2 == 1 ? 1 : 2, pages)) << "sheet " << sheet;
  EXPECT_NE(PageText(1).find("Comptoir Marseillais"), std::string::npos);
  const std::string job = server_->LastJobAttributes();
  EXPECT_NE(job.find("sides (keyword) = two-sided-long-edge"), std::string::npos) << job;
  EXPECT_NE(job.find("media (keyword) = Letter"), std::string::npos) << job;
}

TEST_F(CupsPrintTest, UncollatedCopiesRepeatEachPageAndA4IsTheQueuesDefault) {
  const ToolRun run = server_->Print(TemplateArgs({"--pages", "1-2", "--copies", "2"}));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(Info().find("595 x 842 pts (A4)"), std::string::npos) << Info();
  const int pages = PagesPrepared(run);
  for (int sheet = 1; sheet <= 4; ++sheet)
    EXPECT_TRUE(ShowsPageNumber(sheet, sheet <= 2 ? 1 : 2, pages)) << "sheet " << sheet;
}

TEST_F(CupsPrintTest, LandscapePagesHoldFewerRowsAndComeRotatedOntoTheSheet) {
  const ToolRun portrait = server_->Print(TemplateArgs({"--pages", "1"}));
  ASSERT_EQ(portrait.exitCode, 0) << portrait.err;
  const ToolRun landscape = server_->Print(TemplateArgs({"--pages", "1", "--orientation", "landscape"}));
  ASSERT_EQ(landscape.exitCode, 0) << landscape.err;
  EXPECT_GT(PagesPrepared(landscape), PagesPrepared(portrait));
  EXPECT_NE(Info().find("595 x 842 pts (A4)"), std::string::npos) << Info();
  // The title runs up the portrait sheet: its box is taller than wide.
  const std::string boxes =
      server_->Tool("pdftotext", {"-bbox", "-f", "1", "-l", "1", server_->Output(), "-"}).out;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(
      boxes, m,
      std::regex("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">lines<")));
  EXPECT_GT(std::stod(m[4]) - std::stod(m[2]), std::stod(m[3]) - std::stod(m[1])) << m[0];
}

TEST_F(CupsPrintTest, ALabelIsPrintedOnItsOwnSizeWithoutMarginsFromTheChosenTray) {
  const ToolRun run = server_->Print(TemplateArgs({"--pages", "1", "--paper", "100x50mm", "--paper-source", "manual"}));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(Info().find("283 x 141 pts"), std::string::npos) << Info();
  const std::string job = server_->LastJobAttributes();
  EXPECT_NE(job.find("InputSlot (nameWithoutLanguage) = Manual"), std::string::npos) << job;
  // Neither scaled nor moved: the title's first word is as wide as on the
  // virtual printer's page, and starts at the sheet's edge (plus the text's
  // own one-pixel inset) where the virtual printer keeps its quarter inch.
  const std::string rendered = (std::filesystem::path(server_->Output()).parent_path() / "rendered.pdf").string();
  ASSERT_EQ(Zdreport({"render", kTemplate, "--data", kData, "--sql", kOrderedLines, "--pages", "1", "-o", rendered})
                .exitCode,
            0);
  const std::regex firstWord("xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\" yMax=\"[\\d.]+\">Order<");
  std::smatch label, page;
  const std::string labelBoxes = server_->Tool("pdftotext", {"-bbox", "-f", "1", "-l", "1", server_->Output(), "-"}).out;
  const std::string pageBoxes = RunTool("pdftotext", {"-bbox", "-f", "1", "-l", "1", rendered, "-"}).out;
  ASSERT_TRUE(std::regex_search(labelBoxes, label, firstWord)) << labelBoxes;
  ASSERT_TRUE(std::regex_search(pageBoxes, page, firstWord)) << pageBoxes;
  EXPECT_NEAR(std::stod(label[2]) - std::stod(label[1]), std::stod(page[2]) - std::stod(page[1]), 0.5);
  EXPECT_NEAR(std::stod(label[1]), std::stod(page[1]) - 18.0, 0.5);
}

TEST_F(CupsPrintTest, AQueueThatRefusesJobsIsAnErrorAndAStoppedOneKeepsTheJob) {
  ASSERT_EQ(server_->Tool("cupsreject", {kQueue}).exitCode, 0);
  const ToolRun refused = Zdreport([&] {
    std::vector<std::string> args = TemplateArgs({"--pages", "1"});
    args.insert(args.begin(), "print");
    return args;
  }(), server_->Environment());
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("did not take the job for " + kQueue + ": "), std::string::npos) << refused.err;

  ASSERT_EQ(server_->Tool("cupsaccept", {kQueue}).exitCode, 0);
  ASSERT_EQ(server_->Tool("cupsdisable", {kQueue}).exitCode, 0);
  std::vector<std::string> args = TemplateArgs({"--pages", "1"});
  args.insert(args.begin(), "print");
  const ToolRun waiting = Zdreport(args, server_->Environment());
  ASSERT_EQ(waiting.exitCode, 0) << waiting.err;
  EXPECT_NE(server_->Tool("lpstat", {"-o", kQueue}).out, "");  // queued, not lost
  ASSERT_EQ(server_->Tool("cupsenable", {kQueue}).exitCode, 0);
  ASSERT_TRUE(server_->JobsDone());
  EXPECT_NE(Info().find("Pages:           1"), std::string::npos) << Info();
}

TEST_F(CupsPrintTest, APreparedReportSavedByRenderPrintsAsSaved) {
  const std::string prepared = (std::filesystem::path(server_->Output()).parent_path() / "lines.zqp").string();
  const ToolRun saved = Zdreport({"render", kTemplate, "--data", kData, "--sql", kOrderedLines, "-o", prepared});
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  const ToolRun run = server_->Print({prepared, "--printer", kQueue, "--pages", "2-3"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(Info().find("Pages:           2"), std::string::npos) << Info();
  // The pages as prepared for the virtual printer, counts included.
  EXPECT_TRUE(ShowsPageNumber(1, 2, PagesPrepared(saved)));
  EXPECT_TRUE(ShowsPageNumber(2, 3, PagesPrepared(saved)));

  const ToolRun mixed = Zdreport({"print", prepared, "--data", kData});
  EXPECT_EQ(mixed.exitCode, 2);
  EXPECT_NE(mixed.err.find("a prepared report is printed as saved"), std::string::npos) << mixed.err;
}

TEST_F(CupsPrintTest, PrintersAreListedWithTheirPaperAndUnknownOnesNamed) {
  const ToolRun list = Zdreport({"printers"}, server_->Environment());
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_NE(list.out.find("* " + kQueue + "\n    paper: A4, Letter"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("  Virtual PDF Printer (built in"), std::string::npos) << list.out;

  std::vector<std::string> args = {"print", kTemplate, "--data", kData, "--printer", "nowhere"};
  const ToolRun unknown = Zdreport(args, server_->Environment());
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_NE(unknown.err.find("there is no printer 'nowhere'; the printers are " + kQueue + ", Virtual PDF Printer"),
            std::string::npos)
      << unknown.err;
}

}  // namespace

namespace {

TEST(PrintWithoutPrinters, TheVirtualPrinterTakesTheJobAndSaysSo) {
  ensureGuiApp();
  QTemporaryDir dir;
  QProcessEnvironment none = QProcessEnvironment::systemEnvironment();
  none.insert("CUPS_SERVER", dir.path() + "/no-such.sock");
  const ToolRun list = Zdreport({"printers"}, none);
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(list.out.rfind("* Virtual PDF Printer", 0), 0u) << list.out;
  EXPECT_NE(list.out.find("No system printer is installed"), std::string::npos) << list.out;

  std::vector<std::string> args = {"print", kTemplate, "--data", kData, "--sql", kOrderedLines, "--copies", "3",
                                   "--pages", "2"};
  const ToolRun noFile = Zdreport(args, none);
  EXPECT_EQ(noFile.exitCode, 2);
  EXPECT_NE(noFile.err.find("writes a PDF file: name it with -o FILE.pdf"), std::string::npos) << noFile.err;

  const std::string pdf = dir.path().toStdString() + "/printed.pdf";
  args.insert(args.end(), {"-o", pdf});
  const ToolRun printed = Zdreport(args, none);
  ASSERT_EQ(printed.exitCode, 0) << printed.err;
  EXPECT_NE(printed.err.find("no system printer is installed: printing on the Virtual PDF Printer"),
            std::string::npos)
      << printed.err;
  EXPECT_NE(RunTool("pdfinfo", {pdf}).out.find("Pages:           3"), std::string::npos);
}

}  // namespace
