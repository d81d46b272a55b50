#pragma once
// ctest runs the cases of one test program as parallel processes, so every
// file a case writes needs a name no other case uses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace zd::test {

// A path in the temporary directory unique to this process and test case;
// `name` keeps its folders and extension ("d/out.xls" -> "d/out-1234-Case.xls").
inline std::filesystem::path UniqueTempPath(const std::string& name) {
  const std::filesystem::path p(name);
  std::string tag = "-" + std::to_string(getpid());
  if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
    tag += std::string("-") + info->test_suite_name() + "." + info->name();
  return std::filesystem::temp_directory_path() / p.parent_path() /
         (p.stem().string() + tag + p.extension().string());
}

}  // namespace zd::test
