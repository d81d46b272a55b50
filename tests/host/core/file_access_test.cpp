// What a template may read: folders, links and ".." that lead out of them,
// things that are not regular files, and sizes; and files written whole or
// not at all.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/core/FileAccess.h"
#include "host/core/WholeFile.h"
#include "tests/TempPath.h"

using namespace zd;
namespace fs = std::filesystem;

TEST(FileAccess, ReadsOnlyRegularFilesInsideTheAllowedFoldersAndWithinTheLimit) {
  const fs::path dir = test::UniqueTempPath("file-access");
  fs::create_directories(dir / "allowed");
  std::ofstream(dir / "allowed" / "in.txt") << "inside";
  std::ofstream(dir / "out.txt") << "outside";
  fs::create_symlink(dir / "out.txt", dir / "allowed" / "link.txt");
  ASSERT_EQ(mkfifo((dir / "allowed" / "pipe").c_str(), 0600), 0);

  TFileAccess access;
  EXPECT_FALSE(access.Restricted());
  EXPECT_TRUE(access.Read((dir / "out.txt").string()));
  EXPECT_FALSE(access.Read("/dev/zero")) << "a device never ends";
  EXPECT_FALSE(access.Read((dir / "allowed" / "pipe").string())) << "a pipe without a writer must not block";
  EXPECT_FALSE(access.Read(dir.string())) << "a folder is no file";

  access.AllowFolder((dir / "allowed").string());
  EXPECT_TRUE(access.Restricted());
  const auto inside = access.Read((dir / "allowed" / "in.txt").string());
  ASSERT_TRUE(inside);
  EXPECT_EQ(std::string(inside->begin(), inside->end()), "inside");
  EXPECT_FALSE(access.Read((dir / "out.txt").string()));
  EXPECT_FALSE(access.Read((dir / "allowed" / ".." / "out.txt").string()));
  EXPECT_FALSE(access.Read((dir / "allowed" / "link.txt").string())) << "a link that leads out";
  EXPECT_FALSE(access.Read((dir / "allowedx" / "in.txt").string())) << "a sibling sharing the prefix";

  access.MaxFileSize = 5;
  EXPECT_FALSE(access.Read((dir / "allowed" / "in.txt").string()));
  fs::remove_all(dir);
}

TEST(WholeFile, ReplacesItsTargetOnlyWhenCommitted) {
  const fs::path dir = test::UniqueTempPath("whole-file");
  fs::create_directories(dir);
  const std::string target = (dir / "report.pdf").string();
  WriteWholeFile(target, "good report");
  {
    TWholeFile failing(target);
    failing.Stream() << "half a";
  }  // an error or a cancel: never committed
  std::ifstream in(target);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "good report");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "no temporary left behind";
  EXPECT_THROW(WriteWholeFile((dir / "no-such-folder" / "x").string(), "x"), EFileWriteError);
  fs::remove_all(dir);
}
