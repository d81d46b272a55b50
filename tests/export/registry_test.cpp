// The exporter registry: what the export dialog offers, and creating the
// chosen exporter by its class name.
#include <gtest/gtest.h>

#include "export/ExportAttributes.h"
#include "export/ExportRegistry.h"
#include "host/core/ClassRegistry.h"
#include "print/Language.h"

namespace zd {
namespace {

class TSampleExport : public TZdqExportAttributes {
 public:
  using TZdqExportAttributes::TZdqExportAttributes;
  std::string ClassName() const override { return "TSampleExport"; }
};
class TOtherExport : public TZdqExport {
 public:
  using TZdqExport::TZdqExport;
  std::string ClassName() const override { return "TOtherExport"; }
};
class TNamelessExport : public TZdqExport {
 public:
  using TZdqExport::TZdqExport;
  std::string ClassName() const override { return ""; }
};
// Stands in for the CSV format to see the built-in data.
class TZdqExportToCSV : public TZdqExportAttributes {
 public:
  using TZdqExportAttributes::TZdqExportAttributes;
  std::string ClassName() const override { return "TZdqExportToCSV"; }
};

class RegistryTest : public ::testing::Test {
 protected:
  // The stand-in CSV replaces the real one, which later tests of this
  // program need back.
  void TearDown() override {
    for (const char* name : {"TSampleExport", "TOtherExport", "TZdqExportToCSV"}) UnRegisterZdqExport(name);
    UnRegisterBuiltInExporters();
    RegisterBuiltInExporters();
  }
  static std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& e : ZdqExports()) names.push_back(e.ExportClassName);
    return names;
  }
};

TEST_F(RegistryTest, ARegisteredExporterIsListedAndCreatableByName) {
  const size_t before = ZdqExports().size();
  RegisterZdqExport(ExportClassOf<TSampleExport>(), "smp", 0, "Sample export", 0, "Sample file (*.smp)", 42);
  ASSERT_EQ(ZdqExports().size(), before + 1);
  const TZdqRegisterExport& entry = ZdqExports().back();
  EXPECT_EQ(entry.ExportClassName, "TSampleExport");
  EXPECT_EQ(entry.FileExtension, "smp");
  EXPECT_EQ(entry.hInstance, 42);
  EXPECT_EQ(entry.IconFileName, "zdq_ico.smp");
  EXPECT_EQ(FindZdqExport("tsampleexport"), &entry);

  TComponent owner;
  TComponent* made = GlobalClassRegistry().Create("TSampleExport", &owner);
  EXPECT_NE(dynamic_cast<TSampleExport*>(made), nullptr);
  EXPECT_EQ(made->Owner(), &owner);
  std::unique_ptr<TZdqExport> direct = entry.ExportClass(nullptr);
  EXPECT_NE(dynamic_cast<TSampleExport*>(direct.get()), nullptr);
  // Without a text number the literal texts serve.
  const TZdqTextLookup english = [](int id) { return GetString(0, id); };
  EXPECT_EQ(ExportDescription(entry, english), "Sample export");
  EXPECT_EQ(ExportFileFilter(entry, english), "Sample file (*.smp)|*.smp|All files (*.*)|*.*");
}

TEST_F(RegistryTest, RegisteringAgainReplacesTheEntryAtTheEnd) {
  RegisterZdqExport(ExportClassOf<TSampleExport>(), "smp", 0, "first", 0, "", 0);
  RegisterZdqExport(ExportClassOf<TOtherExport>(), "oth", 0, "other", 0, "", 0);
  RegisterZdqExport(ExportClassOf<TSampleExport>(), "sm2", 0, "second", 0, "", 0);
  const auto names = Names();
  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ(std::count(names.begin(), names.end(), "TSampleExport"), 1);
  EXPECT_EQ(names[names.size() - 2], "TOtherExport");
  EXPECT_EQ(names.back(), "TSampleExport");
  EXPECT_EQ(FindZdqExport("TSampleExport")->FileExtension, "sm2");
  EXPECT_EQ(FindZdqExport("TSampleExport")->Description, "second");
}

TEST_F(RegistryTest, UnregisteringRemovesTheClassEverywhereAndUnknownOrNamelessOnesAreIgnored) {
  RegisterZdqExport(ExportClassOf<TSampleExport>(), "smp", 0, "", 0, "", 0);
  const size_t count = ZdqExports().size();
  UnRegisterZdqExport("TNeverRegistered");
  EXPECT_EQ(ZdqExports().size(), count);
  UnRegisterZdqExport(ExportClassOf<TSampleExport>());
  EXPECT_EQ(ZdqExports().size(), count - 1);
  EXPECT_EQ(FindZdqExport("TSampleExport"), nullptr);
  EXPECT_EQ(GlobalClassRegistry().Find("TSampleExport"), nullptr);

  // A class without a name, or without exporters, is ignored.
  RegisterZdqExport(ExportClassOf<TNamelessExport>(), "x", 0, "", 0, "", 0);
  RegisterZdqExport(TZdqExportClass(), "x", 0, "", 0, "", 0);
  RegisterZdqExport([](TComponent*) { return std::unique_ptr<TZdqExport>(); }, "x", 0, "", 0, "", 0);
  EXPECT_EQ(ZdqExports().size(), count - 1);
}

TEST_F(RegistryTest, BuiltInFormatsTakeTheirExtensionAndTextNumbers) {
  RegisterBuiltInZdqExport(ExportClassOf<TZdqExportToCSV>());
  const TZdqRegisterExport* csv = FindZdqExport("TZdqExportToCSV");
  ASSERT_NE(csv, nullptr);
  EXPECT_EQ(csv->FileExtension, "CSV");
  EXPECT_EQ(csv->DescriptionIndex, 2172);
  EXPECT_EQ(csv->FilterNameIndex, 2173);
  EXPECT_TRUE(csv->Description.empty());
  EXPECT_THROW(RegisterBuiltInZdqExport(ExportClassOf<TSampleExport>()), std::invalid_argument);

  const TZdqTextLookup english = [](int id) { return GetString(0, id); };
  EXPECT_EQ(ExportDescription(*csv, english), "CSV export filter");
  EXPECT_EQ(ExportFileFilter(*csv, english), "CSV file (*.csv)|*.CSV|All files (*.*)|*.*");
}

}  // namespace
}  // namespace zd
