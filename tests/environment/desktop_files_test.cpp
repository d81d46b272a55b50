// The desktop files as `cmake --install` puts them: they validate, the file
// types they declare are recognised by name and by content once the MIME
// database is built, and the commands of a double click, of the thumbnailer
// and of the Qt Creator tools run on real report files.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "tests/interop/CommandLineRun.h"

namespace fs = std::filesystem;
using zd::test::kData;
using zd::test::kSource;
using zd::test::kTemplate;
using zd::test::RunTool;
using zd::test::Zdreport;
using zd::test::ZdreportBinary;

namespace {

const std::vector<std::string> kReportTypes = {"application/x-zdreport-template",
                                               "application/x-zdreport-template-text",
                                               "application/x-zdreport-prepared"};

// The keys of a desktop-entry file's group, as written.
std::map<std::string, std::string> DesktopEntry(const fs::path& file, const std::string& group) {
  std::ifstream in(file);
  std::map<std::string, std::string> keys;
  std::string line, current;
  while (std::getline(in, line)) {
    if (line.starts_with('[')) current = line;
    else if (current == "[" + group + "]" && line.find('=') != std::string::npos)
      keys[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
  }
  return keys;
}

std::vector<std::string> Split(const std::string& list, char separator) {
  std::vector<std::string> items;
  for (size_t start = 0; start < list.size();) {
    const size_t end = std::min(list.find(separator, start), list.size());
    if (end > start) items.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

QImage Picture(const std::string& file) { return QImage(QString::fromStdString(file)); }

// A command line of an installed file, run with this build's zdreport in
// place of the one on the PATH, field codes replaced and extra arguments after.
zd::test::ToolRun RunInstalled(const std::string& commandLine, const std::map<std::string, std::string>& fields,
                               const std::vector<std::string>& extra = {}) {
  QStringList words = QProcess::splitCommand(QString::fromStdString(commandLine));
  if (words.isEmpty() || words.takeFirst() != "zdreport") return {-1, "", "not a zdreport command: " + commandLine};
  std::vector<std::string> args;
  for (const QString& word : words) {
    std::string arg = word.toStdString();
    for (const auto& [code, value] : fields)
      if (const size_t at = arg.find(code); at != std::string::npos) arg.replace(at, code.size(), value);
    args.push_back(arg);
  }
  args.insert(args.end(), extra.begin(), extra.end());
  return Zdreport(args);
}

// path and arguments of a Qt Creator external tool.
std::pair<std::string, std::string> ExternalTool(const fs::path& file) {
  QFile in(QString::fromStdString(file.string()));
  if (!in.open(QIODevice::ReadOnly)) return {};
  QXmlStreamReader xml(&in);
  std::string path, arguments;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == u"path") path = xml.readElementText().toStdString();
    else if (xml.isStartElement() && xml.name() == u"arguments") arguments = xml.readElementText().toStdString();
  }
  return {path, arguments};
}

class DesktopFiles : public zd::test::TCommandLineTest {
 protected:
  void SetUp() override {
    TCommandLineTest::SetUp();
    const auto install = RunTool(ZD_CMAKE_COMMAND, {"--install", ZD_BINARY_DIR, "--component", "Desktop",
                                                    "--prefix", dir_.string()});
    ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
  }
  fs::path Share(const std::string& path) const { return dir_ / "share" / path; }
  // A tool the check needs, from the test packages of scripts/setup.
  bool Have(const char* tool) const { return !QStandardPaths::findExecutable(tool).isEmpty(); }
};

TEST_F(DesktopFiles, ValidateAndDeclareTheReportTypesByNameAndContent) {
  for (const char* tool : {"desktop-file-validate", "update-mime-database", "xmllint"})
    if (!Have(tool)) GTEST_SKIP() << tool << " is not installed (scripts/setup --tests)";
  for (const char* entry : {"applications/zdreport-designer.desktop", "applications/zdreport-preview.desktop"}) {
    const auto valid = RunTool("desktop-file-validate", {Share(entry).string()});
    EXPECT_EQ(valid.exitCode, 0) << entry << ": " << valid.out << valid.err;
    EXPECT_EQ(valid.out + valid.err, "") << entry;  // not even hints
  }
  for (const char* xml : {"mime/packages/zdreport.xml", "qtcreator/externaltools/zdreport-design.xml",
                          "qtcreator/externaltools/zdreport-preview.xml"})
    EXPECT_EQ(RunTool("xmllint", {"--noout", Share(xml).string()}).exitCode, 0) << xml;

  // What file managers read: this database before the system's.
  qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(Share("").string()) + ":/usr/share");
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString((dir_ / "no-user-data").string()));
  const auto built = RunTool("update-mime-database", {Share("mime").string()});
  ASSERT_EQ(built.exitCode, 0) << built.err;
  EXPECT_EQ(built.out + built.err, "");  // it warns of anything in the XML it does not know
  const QMimeDatabase mime;
  ASSERT_EQ(Zdreport({"render", kTemplate, "--data", kData, "--pages", "1", "-o", Out("r.zqp")}).exitCode, 0);
  const auto type = [&](const std::string& file, QMimeDatabase::MatchMode mode) {
    return mime.mimeTypeForFile(QString::fromStdString(file), mode).name().toStdString();
  };
  EXPECT_EQ(type(kTemplate, QMimeDatabase::MatchDefault), kReportTypes[0]);
  EXPECT_EQ(type(kTemplate, QMimeDatabase::MatchContent), kReportTypes[0]);
  EXPECT_EQ(type(kSource + "/examples/order-lines.zdqt", QMimeDatabase::MatchContent), kReportTypes[1]);
  EXPECT_TRUE(mime.mimeTypeForName(QString::fromStdString(kReportTypes[1])).inherits("text/plain"));
  EXPECT_EQ(type(Out("r.zqp"), QMimeDatabase::MatchExtension), kReportTypes[2]);
  EXPECT_EQ(type(Out("r.zqp"), QMimeDatabase::MatchContent), kReportTypes[2]);
  // Each type has its icon, and each entry opens only declared types.
  for (const std::string& name : kReportTypes) {
    const QMimeType t = mime.mimeTypeForName(QString::fromStdString(name));
    ASSERT_TRUE(t.isValid()) << name;
    EXPECT_TRUE(fs::exists(Share("icons/hicolor/scalable/mimetypes/" + t.iconName().toStdString() + ".svg")))
        << name << " " << t.iconName().toStdString();
  }
  for (const char* entry : {"applications/zdreport-designer.desktop", "applications/zdreport-preview.desktop",
                            "thumbnailers/zdreport.thumbnailer"}) {
    const auto keys = DesktopEntry(Share(entry), entry[0] == 't' ? "Thumbnailer Entry" : "Desktop Entry");
    const std::vector<std::string> types = Split(keys.count("MimeType") ? keys.at("MimeType") : "", ';');
    EXPECT_FALSE(types.empty()) << entry;
    if (std::string(entry).starts_with("applications/"))
      EXPECT_TRUE(keys.count("Icon") && fs::exists(Share("icons/hicolor/scalable/apps/" + keys.at("Icon") + ".svg")))
          << entry;
    for (const std::string& t : types)
      EXPECT_NE(std::find(kReportTypes.begin(), kReportTypes.end(), t), kReportTypes.end()) << entry << " " << t;
  }
}

TEST_F(DesktopFiles, DoubleClickThumbnailerAndQtCreatorCommandsRun) {
  ASSERT_EQ(Zdreport({"render", kTemplate, "--data", kData, "--pages", "1", "-o", Out("r.zqp")}).exitCode, 0);
  // A double click: a template opens in the designer, a prepared report in
  // the preview (drawn to a picture here instead of opened).
  const auto designer = DesktopEntry(Share("applications/zdreport-designer.desktop"), "Desktop Entry");
  const auto design = RunInstalled(designer.at("Exec"), {{"%f", kTemplate}}, {"--grab", Out("d.png")});
  EXPECT_EQ(design.exitCode, 0) << design.err;
  EXPECT_FALSE(Picture(Out("d.png")).isNull());
  const auto viewer = DesktopEntry(Share("applications/zdreport-preview.desktop"), "Desktop Entry");
  const auto view = RunInstalled(viewer.at("Exec"), {{"%f", Out("r.zqp")}}, {"--grab", Out("v.png")});
  EXPECT_EQ(view.exitCode, 0) << view.err;
  EXPECT_EQ(view.out, "Wrote " + Out("v.png") + " (1 pages)\n");

  const auto thumbnailer = DesktopEntry(Share("thumbnailers/zdreport.thumbnailer"), "Thumbnailer Entry");
  for (const std::string& input : {kTemplate, Out("r.zqp")}) {
    const auto run = RunInstalled(thumbnailer.at("Exec"), {{"%i", input}, {"%o", Out("thumb.png")}, {"%s", "128"}});
    ASSERT_EQ(run.exitCode, 0) << input << ": " << run.err;
    const QImage picture = Picture(Out("thumb.png"));
    EXPECT_EQ(std::max(picture.width(), picture.height()), 128) << input;
    fs::remove(Out("thumb.png"));
  }

  // Qt Creator's tools on the current document.
  for (const char* tool : {"zdreport-design.xml", "zdreport-preview.xml"}) {
    const auto [path, arguments] = ExternalTool(Share(std::string("qtcreator/externaltools/") + tool));
    ASSERT_EQ(path, "zdreport") << tool;
    const auto run = RunInstalled(path + " " + arguments, {{"%{CurrentDocument:FilePath}", kTemplate}},
                                  {"--grab", Out("tool.png")});
    EXPECT_EQ(run.exitCode, 0) << tool << ": " << run.err;
    EXPECT_FALSE(Picture(Out("tool.png")).isNull()) << tool;
    fs::remove(Out("tool.png"));
  }
}

}  // namespace
