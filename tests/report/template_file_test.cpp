// Report templates: every band kind and control class survives a save and
// a load property by property, defaults stay out of the file, and a bad
// file leaves the report it was loaded into as it was.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "host/data/MemoryDataSet.h"
#include "host/data/SqlDataSet.h"
#include "host/printing/Printer.h"
#include "report/controls/PictureControls.h"
#include "report/controls/ShapeControls.h"
#include "report/template/Template.h"
#include "report/template/TemplateText.h"
#include "report/template/TemplateObjects.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"
#include "tests/Fixtures.h"

namespace zd {
namespace {

class TemplateTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::useVirtualPrinter();
  }

  TemplateTest() {
    rows = new TMemoryDataSet(&form);
    rows->SetName("Rows");
    report = new TZdReport(&form);
    report->SetName("Report1");
  }

  std::string TempFile(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / ("zd-template-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
  }

  TComponent form;
  TMemoryDataSet* rows;
  TZdReport* report;
};

TBytes SmallBmp(TColor fill) { return TBitmap(3, 2, fill).SaveToBytes(TImageFormat::Bmp); }

void SetCommon(TZdqControl& c, int n) {
  c.SetLeft(100 + n);
  c.SetTop(5 + n);
  c.SetWidth(200 + n);
  c.SetHeight(30 + n);
  c.SetDisplayName("Control" + std::to_string(n));
  c.SetHint("Hint " + std::to_string(n));
  c.SetAlignment(TAlignment::taCenter);
  c.SetTransparent(false);
  c.SetBrushStyle(TBrushStyle::bsCross);
  c.Comments().Add("first line");
  c.Comments().Add("second, with 'quotes'");
  c.SetObjectPosition(TZdqObjectPosition::opBottomBand);
  c.SetBackColor(0x123456);
  c.SetVisible(false);
  c.ZdPrintWhen().SetRepeatedValues(false);
  c.ZdPrintWhen().SetRemoveBlankLine(true);
  c.ZdPrintWhen().SetShowIf("Rows.Qty > " + std::to_string(n));
  c.ZdPrintWhen().SetGroupName("Country");
  TFont& font = c.Font().Edit();
  font.Name = "Courier New";
  font.Size = 8 + n;
  font.Style = TFontStyles(fsBold | fsUnderline);
  font.Color = 0x0000FF;
  TZdqFrame& frame = c.Frame();
  frame.SetFrameType(TZdFrameTypes(ftTop | ftRight));
  frame.SetWidth(2);
  frame.SetColor(0x00FF00);
  frame.SetStyle(TPenStyle::psDot);
  frame.SetBackColor(0xEEEEEE);
  frame.SetPicType(TZdPicType::btCorners);
  TPicture picture;
  picture.LoadFromBytes(SmallBmp(0x00AA00));
  frame.SetPicture(picture);
  TZdqHighLight* h = c.HighLights().Add();
  h->SetExpression("Rows.Qty > 10");
  h->SetColor(0x00FFFF);
  h->Font().Edit().Size = 20;
}

// One control of every class, each with every property off its default.
void FillBand(TZdqBand& band) {
  int n = 0;
  auto* label = new TZdqLabel(&band);
  SetCommon(*label, ++n);
  label->SetAngle(90);
  label->SetWordWrap(false);
  label->SetStretch(false);

  auto* expr = new TZdqExpression(&band);
  SetCommon(*expr, ++n);
  expr->SetExpression("Rows.Qty * 2");
  expr->SetFormat("@N @ND2 ");
  expr->Calculation().SetCalcType(TCalcType::ctSum);
  expr->Calculation().SetResetType(TResetType::rtEndGroup);
  expr->Calculation().SetResetGroup("Country");
  expr->Calculation().SetCalculate(TZdqCalculate::rcGroupChange);
  expr->Calculation().SetGroupChange("Country");

  auto* sys = new TZdqSysData(&band);
  SetCommon(*sys, ++n);
  sys->SetSysData(TZdqSysDataType::sdPageNo);
  sys->SetFormat("@N @ND0 ");
  // Its display name stays the one the value gives it: loading sets the
  // value after the name, which renames the control.

  auto* line = new TZdqLine(&band);
  SetCommon(*line, ++n);
  line->SetLineType(TLineType::ltRightDiagonal);
  line->SetStretch(TShapeStretch::ssTallest);
  line->SetLineStyle(TLineStyle::lsDouble);
  auto* rect = new TZdqRectangle(&band);
  SetCommon(*rect, ++n);
  rect->SetRectangleType(TRectangleType::rtRoundSquare);
  auto* ellipse = new TZdqEllipse(&band);
  SetCommon(*ellipse, ++n);
  ellipse->SetEllipseType(TEllipseType::etCircle);

  auto* image = new TZdqImage(&band);
  SetCommon(*image, ++n);
  image->SetImageKind(TZdqImageKind::ikPicture);
  image->SetFileName("logo.bmp");
  image->SetExpression("Rows.Logo");
  image->SetPictureBytes(SmallBmp(0x0000AA));
  image->SetStretch(true);
  image->SetCenter(true);
  image->SetAspectRatio(true);

  auto* rich = new TZdRichText(&band);
  SetCommon(*rich, ++n);
  rich->SetFileName("notes.rtf");
  rich->SetStretch(false);
  rich->SetExpression("Rows.Notes");
}

// Bands of every kind, deliberately out of their sorted order.
void BuildRichReport(TZdReport& r, TDataSet& rows) {
  r.DeleteAllBands();
  const TBandType kinds[] = {TBandType::btReportSummary, TBandType::btDetail,       TBandType::btPageHeader,
                             TBandType::btSubDetail,     TBandType::btNone,         TBandType::btGroupFooter,
                             TBandType::btReportTitle,   TBandType::btColumnFooter, TBandType::btGroupHeader,
                             TBandType::btColumnHeader,  TBandType::btPageFooter};
  int i = 0;
  for (TBandType kind : kinds) {
    auto* band = new TZdqBand(&r);
    band->SetBandType(kind);
    band->SetHeight(50 + i);
    band->SetStretch(true);
    band->SetNewPage(true);
    band->SetReprintHeader(true);
    band->SetLessThan(12.5 + i);
    band->SetNewPageIfNotFit(true);
    band->SetExpression("Rows.Country");
    band->SetOutlineExpression("Rows.Country + '!'");
    band->SetLinkedBand(i);
    if (++i == 4) band->SetName("SubDetail1");
  }
  FillBand(*r.Bands()[1]);
  new TZdqLabel(r.Bands()[2]);

  r.SetTag(7);
  r.SetDataSet(&rows);
  r.SetBarNumber(2);
  r.SetColumnSpace(12);
  r.SetColumnNumber(3);
  r.SetPageNoStartAt(4);
  r.SetPageNoCountBy(2);
  r.SetAnimatedStatus(false);
  r.SetOptions(0);
  r.SetHelpContext(42);
  r.SetTwoPass(true);
  TZdqVariable& v = *r.Variables().Add();
  v.SetName("Total");
  v.SetExpression("Rows.Qty");
  v.SetCurValue(TVariant(3.5));
  v.SetPrevValue(TVariant("before"));
  v.Calculation().SetCalcType(TCalcType::ctHighest);
  v.Calculation().SetResetType(TResetType::rtEndGroup);
  v.Calculation().SetResetGroup("Country");
  v.Calculation().SetCalculate(TZdqCalculate::rcVariableChange);
  v.Calculation().SetVariableChange("Other");
  r.Variables().Add()->SetName("Empty");
  TZdqParameter* p = r.Parameters().Add();
  p->SetName("Customer");
  p->SetDisplayLabel("Cust");
  p->SetValue(TVariant(TDateTime{45000.25}));
  p->SetParameterEditor(TZdqParameterEditor::peListBox);
  p->SetParameterMode(TZdqParameterMode::pmAskUndefined);
  p->ParamPromptValues().Add("A");
  p->ParamPromptValues().Add("B");
  r.Parameters().Add()->SetValue(TVariant(int64_t(5000000000)));
  r.Frame().SetFrameType(TZdFrameTypes(ftBottom));
  r.Frame().SetWidth(3);
  r.FontObject().Edit().Size = 14;
  r.FontObject().Edit().Name = "Times New Roman";
  r.Language().SetLanguageID(TZdqLangID::lnGerman);
  r.Language().SetAutoDetect(true);
  r.ZdProperty().Author = "J\xC3\xBCrgen";
  r.ZdProperty().Title = "Orders";
  r.ZdProperty().Comments().Add("made by a test");
  TZdqPrinter& paper = r.PrinterSetting();
  paper.SetPrinterName(TSystemPrinter::VirtualPrinterName);
  paper.SetPaperSize(TZdqPaperSize::psA5);
  paper.SetOrientation(TZdqPrinterOrientation::spoLandscape);
  paper.SetOutputBin(TZdqBin::sbManual);
  paper.SetDuplex(TZdqDuplex::sdVertical);
  paper.SetCopies(3);
  paper.SetCollate(true);
  paper.Margins().SetByDefault(false);
  paper.Margins().SetLeft(100);
  paper.Margins().SetRight(150);
}

std::string Text(const TVariant& v) {
  switch (v.kind()) {
    case TVarKind::Null: return "Null";
    case TVarKind::Empty: return "Empty";
    case TVarKind::Integer: return std::to_string(v.asInteger());
    case TVarKind::Float: return std::to_string(v.asFloat());
    case TVarKind::Boolean: return v.asBoolean() ? "True" : "False";
    case TVarKind::String: return "'" + v.asString() + "'";
    case TVarKind::DateTime: return "date " + std::to_string(v.asDateTime().days);
  }
  return "?";
}

// Every published property of a and b, through the descriptors.
void ExpectSameProperties(const TPersistent& a, const TPersistent& b, const std::string& path, bool withName = true) {
  ASSERT_EQ(a.ClassName(), b.ClassName()) << path;
  const TClassProperties* cls = a.PublishedProperties();
  if (!cls) return;
  for (const TPropertyInfo* prop : cls->Properties()) {
    const std::string p = path + "." + prop->Name();
    if (!withName && prop->Name() == "Name") continue;
    switch (prop->Kind()) {
      case TPropKind::Object: ExpectSameProperties(*prop->GetObject(a), *prop->GetObject(b), p); break;
      case TPropKind::Collection: {
        const auto& ca = static_cast<const TCollection&>(*prop->GetObject(a));
        const auto& cb = static_cast<const TCollection&>(*prop->GetObject(b));
        ASSERT_EQ(ca.Count(), cb.Count()) << p;
        for (int i = 0; i < ca.Count(); ++i)
          ExpectSameProperties(*ca.Items(i), *cb.Items(i), p + "[" + std::to_string(i) + "]");
        break;
      }
      case TPropKind::Reference: EXPECT_EQ(prop->GetReference(a), prop->GetReference(b)) << p; break;
      default: EXPECT_EQ(Text(ValueOf(a, *prop)), Text(ValueOf(b, *prop))) << p; break;
    }
  }
}

void ExpectSameReports(const TZdReport& a, const TZdReport& b) {
  ExpectSameProperties(a, b, a.ClassName(), false);
  ASSERT_EQ(a.Bands().size(), b.Bands().size());
  for (size_t i = 0; i < a.Bands().size(); ++i) {
    const TZdqBand& ba = *a.Bands()[i];
    const TZdqBand& bb = *b.Bands()[i];
    ExpectSameProperties(ba, bb, "band " + std::to_string(i));
    EXPECT_EQ(bb.GetZdReport(), &b);
    ASSERT_EQ(ba.Objects().size(), bb.Objects().size());
    for (size_t j = 0; j < ba.Objects().size(); ++j) {
      ExpectSameProperties(*ba.Objects()[j], *bb.Objects()[j], "band " + std::to_string(i) + " control " +
                                                                  std::to_string(j));
      EXPECT_EQ(bb.Objects()[j]->GetParentBand(), &bb);
      EXPECT_EQ(bb.Objects()[j]->GetZdReport(), &b);
    }
  }
}

bool Contains(const TBytes& bytes, const std::string& text) {
  return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

// A property record's name as the stream holds it, with its length byte.
bool ContainsName(const TBytes& bytes, const std::string& name) { return Contains(bytes, char(name.size()) + name); }

TEST_F(TemplateTest, EveryBandKindAndControlClassRoundTripsThroughTheStream) {
  BuildRichReport(*report, *rows);
  const TBytes first = WriteComponentStream(ReportToStream(*report));

  TZdReport copy;  // outside the form, where Report1 is taken
  copy.SetName("Report1");
  copy.DeleteAllBands();
  TStreamReadContext context;
  context.resolve = [this](const std::string& name) { return form.FindComponent(name); };
  StreamToReport(ReadComponentStream(first, 0, first.size()), copy, context);

  EXPECT_TRUE(context.unresolved.empty());
  ExpectSameReports(*report, copy);
  EXPECT_EQ(copy.Bands()[3]->Name(), "SubDetail1");
  EXPECT_EQ(copy.Bands()[0]->BandType(), TBandType::btReportSummary);  // not re-sorted
  EXPECT_EQ(WriteComponentStream(ReportToStream(copy)), first);
}

TEST_F(TemplateTest, AFileLoadsIntoAnotherReportKeepingItsNameAndTakingTheFileName) {
  BuildRichReport(*report, *rows);
  report->PrinterSetting().GetPrinterSettings();  // as a load leaves them
  const std::string file = TempFile("rich.zdq");
  SaveReport(*report, file);
  EXPECT_EQ(report->GetFileName(), file);

  TZdReport other(&form);
  other.SetName("Other");
  const TTemplateLoadResult result = LoadReport(other, file);
  EXPECT_TRUE(result.UnresolvedReferences.empty());
  EXPECT_EQ(other.Name(), "Other");
  EXPECT_FALSE(other.InternalLoading);
  EXPECT_EQ(other.DataSet(), rows);
  ExpectSameReports(*report, other);
  // The same text below the root's own line, which names each report.
  const auto body = [](const TZdReport& r) {
    const std::string dump = WriteTemplateText(ReadTemplateTree(SaveReportToBytes(r)));
    return dump.substr(dump.find('\n'));
  };
  EXPECT_EQ(body(other), body(*report));

  // A text file, chosen by the name, loads by its content as the binary one does.
  const std::string textFile = TempFile("rich.zdqt");
  SaveReport(*report, textFile);
  std::ifstream saved(textFile, std::ios::binary);
  const std::string savedText((std::istreambuf_iterator<char>(saved)), {});
  EXPECT_EQ(savedText.rfind("TZdReport Report1\n", 0), 0u) << savedText.substr(0, 100);
  TZdReport fromText(&form);
  LoadReport(fromText, textFile);
  ExpectSameReports(*report, fromText);
  EXPECT_EQ(body(fromText), body(*report));

  // Streams carry the same bytes as files.
  std::stringstream stream;
  SaveReportToStream(*report, stream);
  const std::string text = stream.str();
  EXPECT_EQ(TBytes(text.begin(), text.end()), SaveReportToBytes(*report));
  TZdReport fromStream(&form);
  LoadReportFromStream(fromStream, stream);
  ExpectSameReports(*report, fromStream);
}

TEST_F(TemplateTest, TheFileStartsWithBannerAndResourceHeader) {
  const TBytes bytes = SaveReportToBytes(*report);
  ASSERT_GT(bytes.size(), 8u);
  const uint32_t n = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t(bytes[3]) << 24;
  size_t pos = 4 + n;
  ASSERT_LT(pos + 20, bytes.size());
  // Half of the banner's UTF-16 form: its first characters, each then a zero.
  EXPECT_NE(bytes[4], 0);
  EXPECT_EQ(bytes[5], 0);
  EXPECT_EQ(bytes[pos], 0xFF);
  EXPECT_EQ(bytes[pos + 1] | bytes[pos + 2] << 8, 10);
  const std::string name = "TZDREPORT";
  EXPECT_EQ(std::string(bytes.begin() + long(pos + 3), bytes.begin() + long(pos + 3 + name.size())), name);
  pos += 3 + name.size();
  EXPECT_EQ(bytes[pos], 0);
  EXPECT_EQ(bytes[pos + 1] | bytes[pos + 2] << 8, 0x1030);
  const uint32_t size = bytes[pos + 3] | bytes[pos + 4] << 8 | bytes[pos + 5] << 16 | uint32_t(bytes[pos + 6]) << 24;
  pos += 7;
  EXPECT_EQ(size, bytes.size() - pos);
  EXPECT_EQ(std::string(bytes.begin() + long(pos), bytes.begin() + long(pos + 4)), "TPF0");
  EXPECT_EQ(ReadTemplateTree(bytes).className, "TZdReport");

  // A reader skips the banner unseen, so an empty one loads too.
  TBytes bare = {0, 0, 0, 0};
  bare.insert(bare.end(), bytes.begin() + 4 + long(n), bytes.end());
  EXPECT_NO_THROW(LoadReportFromBytes(*report, bare));
}

TEST_F(TemplateTest, DefaultsStayOutOfTheFileAndComeBackFromTheConstructor) {
  auto* label = new TZdqLabel(report->Bands()[1]);
  label->SetDisplayName("Plain");
  report->Variables().Add()->SetCurValue(TVariant("12"));  // a Null value is not written
  TBytes bytes = SaveReportToBytes(*report);
  for (const char* name : {"AnimatedStatus", "BarNumber", "Transparent", "Height", "Visible", "Alignment",
                           "WordWrap", "Angle", "RepeatedValues", "Frame.Width", "PaperSize", "Options",
                           "PrevValue"})
    EXPECT_FALSE(ContainsName(bytes, name)) << name;
  // Properties without a declared default are always there.
  EXPECT_TRUE(ContainsName(bytes, "Font.Size"));
  EXPECT_TRUE(ContainsName(bytes, "LinkedBand"));

  label->SetTransparent(false);
  report->Bands()[0]->SetHeight(55);
  bytes = SaveReportToBytes(*report);
  EXPECT_TRUE(ContainsName(bytes, "Transparent"));
  EXPECT_TRUE(ContainsName(bytes, "Height"));

  TZdReport other(&form);
  other.Bands()[0]->SetHeight(10);  // replaced by a fresh band holding the default
  LoadReportFromBytes(other, bytes);
  EXPECT_EQ(other.Bands()[0]->Height(), 55);
  EXPECT_EQ(other.Bands()[1]->Height(), 100);
  const auto* loaded = dynamic_cast<const TZdqLabel*>(other.Bands()[1]->Objects().at(0));
  ASSERT_NE(loaded, nullptr);
  EXPECT_FALSE(loaded->Transparent());
  EXPECT_TRUE(loaded->WordWrap());
  EXPECT_EQ(loaded->Height(), 20);
}

TEST_F(TemplateTest, LoadingReplacesEveryBandEvenWithFewerInTheFile) {
  TZdReport one(&form);
  one.DeleteAllBands();
  new TZdqLabel(new TZdqBand(&one));
  const TBytes bytes = SaveReportToBytes(one);
  for (int i = 0; i < 4; ++i) report->AddBand(TBandType::btDetail, true);
  ASSERT_EQ(report->Bands().size(), 7u);
  LoadReportFromBytes(*report, bytes);
  ASSERT_EQ(report->Bands().size(), 1u);
  EXPECT_EQ(report->Bands()[0]->Objects().size(), 1u);
}

TEST_F(TemplateTest, ReferencesResolveThroughTheOwnerOrAreReported) {
  report->SetDataSet(rows);
  const TBytes bytes = SaveReportToBytes(*report);

  TComponent elsewhere;
  auto* stranger = new TZdReport(&elsewhere);
  const TTemplateLoadResult result = LoadReportFromBytes(*stranger, bytes);
  EXPECT_EQ(stranger->DataSet(), nullptr);
  ASSERT_EQ(result.UnresolvedReferences.size(), 1u);
  EXPECT_EQ(result.UnresolvedReferences[0], "DataSet = Rows");

  auto* sameName = new TMemoryDataSet(&elsewhere);
  sameName->SetName("rows");
  EXPECT_TRUE(LoadReportFromBytes(*stranger, bytes).UnresolvedReferences.empty());
  EXPECT_EQ(stranger->DataSet(), sameName);

  auto* unnamed = new TMemoryDataSet(&form);
  report->SetDataSet(unnamed);
  EXPECT_THROW(SaveReportToBytes(*report), ETemplateError);
}

TEST_F(TemplateTest, PrinterSettingsFollowThePrinterAfterALoad) {
  BuildRichReport(*report, *rows);
  const TBytes bytes = SaveReportToBytes(*report);
  TZdReport other(&form);
  LoadReportFromBytes(other, bytes);
  TZdqPrinter current;
  current.GetPrinterSettings();
  const TZdqPrinter& loaded = other.PrinterSetting();
  EXPECT_EQ(loaded.PaperSize(), current.PaperSize());
  EXPECT_EQ(loaded.Orientation(), current.Orientation());
  EXPECT_EQ(other.PrinterSetting().PaperSizeWidth(), current.PaperSizeWidth());
  // What the printer does not say stays as the template stored it.
  EXPECT_EQ(loaded.Copies(), 3);
  EXPECT_TRUE(loaded.Collate());
  EXPECT_FALSE(loaded.Margins().ByDefault());
  EXPECT_EQ(loaded.Margins().Right(), 150);

  // Without any printer the template's own paper is kept.
  TSystemPrinter& printer = TSystemPrinter::Instance();
  printer.SetVirtualPrinterEnabled(false);
  TZdReport offline(&form);
  EXPECT_NO_THROW(LoadReportFromBytes(offline, bytes));
  printer.SetVirtualPrinterEnabled(true);
  printer.SetPrinterIndex(-1);
  EXPECT_EQ(offline.PrinterSetting().PaperSize(), TZdqPaperSize::psA5);
  EXPECT_EQ(offline.PrinterSetting().Orientation(), TZdqPrinterOrientation::spoLandscape);
}

// Byte offset of the first occurrence of text in bytes.
size_t OffsetOf(const TBytes& bytes, const std::string& text) {
  return size_t(std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) - bytes.begin());
}

// Keeps the resource size right after an edit: it counts the stream after it.
void FixResourceSize(TBytes& bytes) {
  const size_t sizeAt = OffsetOf(bytes, "TPF0") - 4;
  const uint32_t size = uint32_t(bytes.size() - sizeAt - 4);
  for (int i = 0; i < 4; ++i) bytes[sizeAt + size_t(i)] = uint8_t(size >> (8 * i));
}

TBytes Replaced(TBytes bytes, const std::string& from, const std::string& to) {
  EXPECT_EQ(from.size(), to.size());
  const size_t at = OffsetOf(bytes, from);
  EXPECT_LT(at, bytes.size()) << from;
  std::copy(to.begin(), to.end(), bytes.begin() + long(at));
  return bytes;
}

TEST_F(TemplateTest, ABadFileNamesTheProblemAndLeavesTheReportAsItWas) {
  TZdReport source(&form);
  source.SetName("Source");
  auto* label = new TZdqLabel(source.Bands()[1]);
  label->SetName("Label1");
  label->SetAngle(45);
  label->Frame().SetWidth(4);
  source.SetColumnNumber(2);
  const TBytes good = SaveReportToBytes(source);

  BuildRichReport(*report, *rows);
  const TBytes before = SaveReportToBytes(*report);
  // The error names the fault, the byte the message gives and the property
  // path (`path`, empty when the fault is not in a property).
  auto expectIntact = [&](const TBytes& bad, const std::vector<std::string>& mentions, const std::string& path = "") {
    try {
      LoadReportFromBytes(*report, bad);
      ADD_FAILURE() << "loaded";
    } catch (const ETemplateError& e) {
      const std::string what = e.what();
      for (const std::string& m : mentions) EXPECT_NE(what.find(m), std::string::npos) << what;
      ASSERT_TRUE(e.Offset()) << what;
      EXPECT_NE(what.find("byte " + std::to_string(*e.Offset()) + ":"), std::string::npos) << what;
      EXPECT_EQ(e.PropertyPath(), path) << what;
    }
    EXPECT_FALSE(report->InternalLoading);
    EXPECT_EQ(SaveReportToBytes(*report), before);
  };

  expectIntact(Replaced(good, "TZdqLabel", "TZdqLabex"), {"unknown class TZdqLabex", "byte"});
  expectIntact(Replaced(good, "Angle", "Angel"),
               {"Angel", "TZdqLabel Label1", "no such property", "byte " + std::to_string(OffsetOf(good, "Angle") - 1)},
               "Angel");
  expectIntact(Replaced(good, "Frame.Width", "Frame.Widte"), {"Frame.Widte", "TZdqFrame"}, "Frame.Widte");
  expectIntact(Replaced(good, "TZdReport", "TZdqBandx"), {"TZdqBandx"});
  // A label where a band belongs.
  {
    TBytes shaped = good;
    const size_t at = OffsetOf(shaped, "TZdqBand");
    shaped.erase(shaped.begin() + long(at) - 1, shaped.begin() + long(at) + 8);
    const std::string labelClass = "\x09TZdqLabel";
    shaped.insert(shaped.begin() + long(at) - 1, labelClass.begin(), labelClass.end());
    FixResourceSize(shaped);
    expectIntact(shaped, {"TZdqLabel is not a band"});
  }
  // A value of the wrong type: the angle as a string.
  {
    TBytes typed = good;
    const size_t at = OffsetOf(typed, "Angle") + 5;
    ASSERT_EQ(typed[at], 2);  // Int8
    typed[at] = 6;            // a one-character short string holding 45 = '-'
    typed.insert(typed.begin() + long(at) + 1, 1);
    FixResourceSize(typed);
    expectIntact(typed, {"Angle", "expects an integer, found string"}, "Angle");
  }
  // Every truncation.
  for (size_t n = 0; n < good.size(); n += 7) expectIntact(TBytes(good.begin(), good.begin() + long(n)), {"byte"});
  // Out-of-range enumeration names.
  expectIntact(Replaced(good, "btDetail", "btDetai1"), {"btDetai1", "BandType"}, "BandType");

  // A text names line and column, for faults of the text and of the objects alike.
  const std::string text = WriteTemplateText(ReadTemplateTree(good));
  const size_t angle = text.find("Angle = 45");
  ASSERT_NE(angle, std::string::npos);
  const std::string place = TextPlace(text, angle) + ":";
  for (const auto& [from, to, path] : {std::tuple<std::string, std::string, std::string>{"Angle = 45", "Angel = 45", "Angel"},
                                       {"Angle = 45", "Angle = 45x", "Angle"},
                                       {"Angle = 45", "Angle = \"45\"", "Angle"}}) {
    std::string bad = text;
    bad.replace(angle, from.size(), to);
    try {
      LoadReportFromBytes(*report, TBytes(bad.begin(), bad.end()));
      ADD_FAILURE() << "loaded " << to;
    } catch (const ETemplateError& e) {
      EXPECT_NE(std::string(e.what()).find(place.substr(0, place.find(','))), std::string::npos) << e.what();
      EXPECT_EQ(e.PropertyPath(), path) << e.what();
    }
    EXPECT_FALSE(report->InternalLoading);
    EXPECT_EQ(SaveReportToBytes(*report), before);
  }
}

TEST_F(TemplateTest, MissingOrBadFilesAndBackups) {
  EXPECT_THROW(LoadReport(*report, TempFile("absent.zdq")), ETemplateError);
  const std::string junk = TempFile("junk.zdq");
  std::ofstream(junk, std::ios::binary) << "no template";
  try {
    LoadReport(*report, junk);
    ADD_FAILURE() << "loaded";
  } catch (const ETemplateError& e) {
    EXPECT_EQ(e.FileName(), junk);
    ASSERT_TRUE(e.Offset());
    EXPECT_EQ(DescribeError(e), std::string(e.what()) + " (file " + junk + ", byte " + std::to_string(*e.Offset()) + ")");
  }
  const std::string file = TempFile("backup.zdq");
  std::filesystem::remove(file);
  EXPECT_EQ(CreateTemplateBackup(file), "");
  SaveReport(*report, file);
  const std::string backup = CreateTemplateBackup(file);
  EXPECT_EQ(std::filesystem::path(backup).filename().string(), "backup.~zdq");
  std::ifstream a(file, std::ios::binary), b(backup, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(a), {}), std::string(std::istreambuf_iterator<char>(b), {}));
  const std::string textFile = TempFile("backup.zdqt");
  SaveReport(*report, textFile);
  EXPECT_EQ(std::filesystem::path(CreateTemplateBackup(textFile)).filename().string(), "backup.~zdqt");
}

// A report's own datasets are stored with it, their database files relative
// to the template, so that the two can move together; loading replaces the
// datasets the report owned, unless the file is bad.
TEST_F(TemplateTest, OwnDatasetsTravelWithTheTemplate) {
  namespace fs = std::filesystem;
  const fs::path folder = TempFile("travel"), moved = TempFile("travelled");
  fs::remove_all(folder);
  fs::remove_all(moved);
  fs::create_directories(folder / "data");
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "travel_writer");
    db.setDatabaseName(QString::fromStdString((folder / "data" / "shop.db").string()));
    ASSERT_TRUE(db.open());
    QSqlQuery q(db);
    for (const char* sql : {"CREATE TABLE items (name TEXT, qty INTEGER)",
                            "INSERT INTO items VALUES ('bolt', 7), ('nut', 1), ('gear', 3)",
                            "CREATE INDEX by_qty ON items (qty)"})
      ASSERT_TRUE(q.exec(sql)) << sql;
  }
  QSqlDatabase::removeDatabase("travel_writer");
  auto* items = new TSqlDataSet(report);
  items->SetName("Items");
  items->SetDatabaseName((folder / "data" / "shop.db").string());
  items->SetTableName("items");
  items->SetIndexName("by_qty");
  items->SetFilter("qty > 1");
  items->SetFiltered(true);
  auto* totals = new TSqlDataSet(report);
  totals->SetName("Totals");
  totals->SetDatabaseName(items->DatabaseName());
  totals->SetSQL("SELECT SUM(qty) AS total FROM items");
  report->SetDataSet(items);
  SaveReport(*report, (folder / "shop.zdqt").string());
  fs::rename(folder, moved);

  TComponent elsewhere;
  auto* loaded = new TZdReport(&elsewhere);
  EXPECT_TRUE(LoadReport(*loaded, (moved / "shop.zdqt").string()).UnresolvedReferences.empty());
  auto* read = dynamic_cast<TSqlDataSet*>(loaded->DataSet());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Owner(), loaded);
  EXPECT_EQ(read->DatabaseName(), (moved / "data" / "shop.db").string());
  read->Open();
  std::vector<std::string> names;
  for (read->First(); !read->Eof(); read->Next()) names.push_back(read->FieldByName("name").AsString());
  EXPECT_EQ(names, (std::vector<std::string>{"gear", "bolt"}));  // filtered, in the index's order
  TDataSet* sum = loaded->GetDataManager().DatasetByComponentName("Totals");
  ASSERT_NE(sum, nullptr);
  sum->Open();
  EXPECT_EQ(sum->FieldByName("total").AsInteger(), 11);

  // A dataset of a class no template can build stays the application's:
  // not stored, not replaced.
  auto* scratch = new TMemoryDataSet(loaded);
  scratch->SetName("Scratch");
  // A bad file keeps them; a good one without datasets frees them.
  const std::string text = WriteTemplateText(ReportToStream(*loaded));
  EXPECT_EQ(text.find("Scratch"), std::string::npos);
  for (const std::string& bad : {std::string("IndexName"), std::string("TSqlDataSet Items")}) {
    std::string broken = text;
    broken.replace(broken.find(bad), bad.size(), bad == "IndexName" ? "IndexNome" : "TSqlDataSet");
    EXPECT_THROW(LoadReportFromBytes(*loaded, TBytes(broken.begin(), broken.end())), ETemplateError) << bad;
    EXPECT_EQ(loaded->DataSet(), read);
  }
  TZdReport plain(&form);
  LoadReportFromBytes(*loaded, SaveReportToBytes(plain));
  EXPECT_EQ(loaded->DataSet(), nullptr);
  EXPECT_EQ(loaded->FindComponent("Totals"), nullptr);
  EXPECT_EQ(loaded->FindComponent("Scratch"), scratch);
}

TEST_F(TemplateTest, TheExampleTemplateLoadsAsAGroupedListAndItsTextIsTheSameTemplate) {
  const auto contents = [](const std::string& name) {
    std::ifstream in(std::string(ZD_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
    return TBytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  const TBytes binary = contents("order-lines.zdq"), text = contents("order-lines.zdqt");
  ASSERT_FALSE(binary.empty());
  EXPECT_EQ(TemplateTreeToBytes(ReadTemplateTree(text), TTemplateFormat::Binary), binary);
  EXPECT_EQ(TemplateTreeToBytes(ReadTemplateTree(binary), TTemplateFormat::Text), text);

  rows->SetName("OrderLines");
  const TTemplateLoadResult result =
      LoadReport(*report, std::string(ZD_SOURCE_DIR) + "/examples/order-lines.zdq");
  EXPECT_TRUE(result.UnresolvedReferences.empty());
  EXPECT_EQ(report->DataSet(), rows);
  EXPECT_TRUE(report->TwoPass());
  std::vector<TBandType> kinds;
  for (const TZdqBand* band : report->Bands()) kinds.push_back(band->BandType());
  EXPECT_EQ(kinds, (std::vector<TBandType>{TBandType::btReportTitle, TBandType::btPageHeader,
                                           TBandType::btGroupHeader, TBandType::btDetail,
                                           TBandType::btGroupFooter, TBandType::btPageFooter,
                                           TBandType::btReportSummary}));
  EXPECT_EQ(report->Bands()[2]->Expression(), "OrderLines.country");
  EXPECT_EQ(report->Bands()[4]->Expression(), report->Bands()[2]->Expression());
  std::vector<TZdqSysDataType> footer;
  for (const TZdqControl* c : report->Bands()[5]->Objects())
    if (const auto* s = dynamic_cast<const TZdqSysData*>(c)) footer.push_back(s->SysData());
  EXPECT_EQ(footer, (std::vector<TZdqSysDataType>{TZdqSysDataType::sdDate, TZdqSysDataType::sdPageNo,
                                                  TZdqSysDataType::sdPageCount}));
}

}  // namespace
}  // namespace zd
