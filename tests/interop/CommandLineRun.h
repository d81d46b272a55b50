#pragma once
// Runs zdreport and the third-party tools the interop tests check its output
// with, as a user would: in their own processes.
#include <QProcess>
#include <QProcessEnvironment>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/Fixtures.h"
#include "tests/TempPath.h"

namespace zd::test {

struct ToolRun {
  int exitCode = -1;
  std::string out, err;
};

inline ToolRun RunTool(const std::string& program, const std::vector<std::string>& args,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  ensureGuiApp();
  QStringList list;
  for (const std::string& a : args) list << QString::fromStdString(a);
  QProcess p;
  p.setProcessEnvironment(environment);
  p.setProcessChannelMode(QProcess::SeparateChannels);
  p.start(QString::fromStdString(program), list);
  if (!p.waitForFinished(120000)) {
    p.kill();
    p.waitForFinished();
    return {-1, "", program + " did not finish"};
  }
  const int code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  return {code, p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

// The binary: ZDREPORT_BIN, else app/zdreport in the build folder that holds this test.
inline std::string ZdreportBinary() {
  if (const char* bin = std::getenv("ZDREPORT_BIN"); bin && *bin) return bin;
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return (self.parent_path() / "app" / "zdreport").string();
}

inline const std::string kSource = ZD_SOURCE_DIR;
inline const std::string kTemplate = kSource + "/examples/order-lines.zdq";
inline const std::string kDatabase = kSource + "/examples/demo.db";
inline const std::string kData = "sqlite:" + kDatabase + ":order_lines";
inline const std::string kOrderedLines = "SELECT * FROM order_lines ORDER BY country, order_id, product";

inline ToolRun Zdreport(const std::vector<std::string>& args,
                 const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  const std::string bin = ZdreportBinary();
  if (!std::filesystem::exists(bin)) return {-1, "", "zdreport not found at " + bin + " (build it or set ZDREPORT_BIN)"};
  return RunTool(bin, args, environment);
}

// A test of the command line with a folder of its own for the files it
// writes, kept when the test fails.
class TCommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = UniqueTempPath("zdreport-cli");
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    if (!HasFailure()) std::filesystem::remove_all(dir_);
  }
  std::string Out(const std::string& name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
};

// The lines of pdftotext's layout output, and how often each occurs with
// runs of blanks (layout text pads pieces placed apart) made one.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::string CollapseBlanks(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != ' ' || out.empty() || out.back() != ' ') out += c;
  while (!out.empty() && out.front() == ' ') out.erase(0, 1);
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

inline std::map<std::string, int> Counted(const std::vector<std::string>& lines) {
  std::map<std::string, int> counts;
  for (const std::string& line : lines) ++counts[CollapseBlanks(line)];
  return counts;
}

}  // namespace zd::test
