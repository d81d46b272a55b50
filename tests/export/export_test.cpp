// The exporter base: document properties and the protocol a one-metafile
// export follows.
#include <gtest/gtest.h>

#include "export/Export.h"
#include "host/core/Properties.h"

namespace zd {
namespace {

TEST(ZdProperty, AssignCopiesAllFiveAndRefusesOtherClasses) {
  TZdProperty source;
  source.Author = "Ann";
  source.Title = "Sales";
  source.Subject = "Q3";
  source.Keywords = "money";
  source.SetComments(TStringList{"first", "second"});
  TZdProperty copy;
  copy.Assign(source);
  EXPECT_EQ(copy.Author, "Ann");
  EXPECT_EQ(copy.Title, "Sales");
  EXPECT_EQ(copy.Subject, "Q3");
  EXPECT_EQ(copy.Keywords, "money");
  EXPECT_EQ(copy.Comments(), source.Comments());
  EXPECT_THROW(copy.Assign(TStringList{}), EConvertError);
}

TMetafile SmallPage() {
  TMetafile meta;
  meta.SetWidth(120);
  meta.SetHeight(80);
  TMetafileCanvas canvas(meta);
  canvas.Rectangle(10, 10, 50, 40);
  canvas.MoveTo(0, 0);
  canvas.LineTo(100, 60);
  canvas.Close();
  return meta;
}

class LoggingExport : public TZdqExport {
 public:
  using TZdqExport::TZdqExport;
  std::vector<std::string> log;
  void NewPage(int page, int bar) override {
    TZdqExport::NewPage(page, bar);
    log.push_back("page " + std::to_string(page) + "," + std::to_string(bar));
  }
  void PageProcessed(const TMetafile&) override { log.push_back("processed"); }
  void SaveToFile(const std::string& name) override {
    log.push_back("save at " + std::to_string(OffsetX) + "," + std::to_string(OffsetY));
    TZdqExport::SaveToFile(name);
  }
};

TEST(ZdqExport, OneMetafileIsExportedAsAOnePageDocument) {
  const TMetafile page = SmallPage();
  LoggingExport exporter;
  std::vector<uint32_t> records;
  std::vector<std::string> events;
  exporter.OnRecord = [&](TComponent* sender, const TEmfRecord& r, bool&) {
    EXPECT_EQ(sender, &exporter);
    records.push_back(r.Type);
  };
  exporter.OnStartExecute = [&](TComponent*) { events.push_back("start"); };
  exporter.OnNewPage = [&](TComponent*) { events.push_back("new page"); };
  exporter.OnEndExecute = [&](TComponent*) { events.push_back("end"); };
  exporter.OffsetX = 7;
  exporter.OffsetY = 9;
  exporter.SaveMetafileToFile(&page, "one.emf");

  EXPECT_EQ(events, (std::vector<std::string>{"start", "new page", "end"}));
  EXPECT_EQ(exporter.log, (std::vector<std::string>{"page 0,0", "processed", "save at 0,0"}));
  ASSERT_EQ(records.size(), page.RecordCount());
  EXPECT_EQ(records.front(), uint32_t(EMR_HEADER));
  EXPECT_EQ(records.back(), uint32_t(EMR_EOF));
  EXPECT_EQ(exporter.intPageWidth, 120);
  EXPECT_EQ(exporter.intTotalWidth, 120);
  EXPECT_EQ(exporter.intPageHeight, 80);
  EXPECT_EQ(exporter.intTotalHeight, 80);
  EXPECT_EQ(exporter.DestinationFileName(), "one.emf");
  exporter.SaveMetafileToFile(nullptr, "none.emf");  // nothing to export
  EXPECT_EQ(exporter.DestinationFileName(), "one.emf");
}

TEST(ZdqExport, AnExporterClassCreatesExportersOwnedByTheCaller) {
  TComponent owner;
  std::unique_ptr<TZdqExport> exporter = ExportClassOf<LoggingExport>()(&owner);
  EXPECT_NE(dynamic_cast<LoggingExport*>(exporter.get()), nullptr);
  EXPECT_EQ(exporter->Owner(), &owner);
  exporter.reset();
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(ZdqExport, APageWithoutRecordsIsRefusedAndTheEnumerationCallbackAlwaysGoesOn) {
  const TMetafile page = SmallPage();
  int seen = 0;
  TZdqExport exporter;
  exporter.OnRecord = [&](TComponent*, const TEmfRecord&, bool& accept) {
    ++seen;
    accept = false;  // advisory only
  };
  EXPECT_THROW(exporter.ExportRecords(TMetafile()), EMetafileError);
  EXPECT_EQ(seen, 0);
  EnumerateMetafile(page, [&](const TEmfRecord& r, const TEmfState& st) {
    EXPECT_TRUE(ZdqEnumEMFRecordsProc(r, st, nullptr));
    return ZdqEnumEMFRecordsProc(r, st, &exporter);
  });
  EXPECT_EQ(uint32_t(seen), page.RecordCount());
}

TEST(ZdqExport, OffsetsAndDocumentPropertiesArePublished) {
  TZdqExport exporter;
  const TClassProperties* props = exporter.PublishedProperties();
  ASSERT_NE(props, nullptr);
  const TPropertyInfo& offsetX = props->Get("OffsetX");
  EXPECT_TRUE(IsStoredDefault(exporter, offsetX));
  SetValue(exporter, offsetX, TVariant(40));
  EXPECT_EQ(exporter.OffsetX, 40);
  SetValue(exporter, props->Get("OffsetY"), TVariant(7));
  EXPECT_EQ(exporter.OffsetY, 7);

  TPersistent* document = props->Get("Properties").GetObject(exporter);
  ASSERT_EQ(document, &exporter.Properties());
  const TClassProperties* docProps = document->PublishedProperties();
  ASSERT_NE(docProps, nullptr);
  SetValue(*document, docProps->Get("Author"), TVariant(std::string("Ann")));
  EXPECT_EQ(exporter.Properties().Author, "Ann");
  SetValue(*document, docProps->Get("Comments"), TVariant(std::string("one\r\ntwo")));
  EXPECT_EQ(exporter.Properties().Comments().Count(), 2);
}

}  // namespace
}  // namespace zd
