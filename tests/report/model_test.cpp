// The report object tree: declared defaults, setter rules, band order,
// ownership and back references, the control registry, name resolution and
// the common drawing steps.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "host/data/MemoryDataSet.h"
#include "print/TextIds.h"
#include "report/model/ControlRegistry.h"
#include "tests/Fixtures.h"
#include "report/controls/PictureControls.h"
#include "report/controls/ShapeControls.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"

using namespace zd;

namespace {

// Every property with a declared default must hold it on a fresh object,
// nested objects included; returns how many defaults were checked.
int ExpectDefaults(TPersistent& obj, const std::string& path) {
  int checked = 0;
  const TClassProperties* props = obj.PublishedProperties();
  if (!props) return 0;
  for (const TPropertyInfo* p : props->Properties()) {
    if (p->Kind() == TPropKind::Object) {
      if (TPersistent* inner = p->GetObject(obj)) checked += ExpectDefaults(*inner, path + "." + p->Name());
      continue;
    }
    if (!p->HasDefault()) continue;
    ++checked;
    EXPECT_TRUE(IsStoredDefault(obj, *p)) << path << "." << p->Name();
  }
  return checked;
}

std::vector<TBandType> TypesOf(const TZdReport& r) {
  std::vector<TBandType> types;
  for (const TZdqBand* b : r.Bands()) types.push_back(b->BandType());
  return types;
}

TMemoryDataSet* MakeOrders(TComponent* owner, const std::string& name) {
  auto* ds = new TMemoryDataSet(owner);
  ds->SetName(name);
  ds->AddField("Amount", TFieldType::ftInteger);
  ds->AddField("Name", TFieldType::ftString, 20);
  ds->AppendRecord({TVariant(42), TVariant("first")});
  ds->Open();
  return ds;
}

// Counts the fills and remembers the brush they used.
class TRecordingCanvas : public TCanvas {
 public:
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void Rectangle(const TRect&) override {}
  void RoundRect(const TRect&, int, int) override {}
  void Ellipse(const TRect&) override {}
  void FillRect(const TRect& r) override { fills.push_back({r, Brush.Color}); }
  void StretchDraw(const TRect&, const TBitmap&) override {}
  void TextOutClipped(int, int, const std::string&, const TRect*) override {}
  struct Fill {
    TRect rect;
    TColor color;
  };
  std::vector<Fill> fills;
};

TZdqBand& Detail(TZdReport& r) { return *r.GetBand(r.GetIndexBand(TBandType::btDetail)); }

}  // namespace

TEST(ReportModelDefaults, FreshObjectsHoldTheirDeclaredDefaults) {
  TComponent form;
  auto* report = new TZdReport(&form);
  TZdqBand& band = *new TZdqBand(report);
  std::vector<TZdqControl*> controls{new TZdqLabel(&band),   new TZdqExpression(&band), new TZdqSysData(&band),
                                     new TZdqLine(&band),    new TZdqRectangle(&band),  new TZdqEllipse(&band),
                                     new TZdqImage(&band),   new TZdRichText(&band)};
  EXPECT_GE(ExpectDefaults(*report, "TZdReport"), 10);
  EXPECT_GE(ExpectDefaults(band, "TZdqBand"), 15);
  for (TZdqControl* c : controls) EXPECT_GE(ExpectDefaults(*c, c->ClassName()), 10) << c->ClassName();

  TZdqCalculation calc;
  TZdqParameters params;
  TZdqHighLights highlights;
  EXPECT_GT(ExpectDefaults(calc, "calc") + ExpectDefaults(*params.Add(), "param") +
                ExpectDefaults(*highlights.Add(), "highlight"),
            3);
}

TEST(ReportModelDefaults, BandAndControlDefaultsDiffer) {
  TZdReport report;
  TZdqBand& band = Detail(report);
  auto* label = new TZdqLabel(&band);
  EXPECT_EQ(TZdqBand::ClassProperties().Get("Height").DefaultValue(), TVariant(100));
  EXPECT_EQ(TZdqLabel::ClassProperties().Get("Height").DefaultValue(), TVariant(20));
  EXPECT_EQ(band.Height(), 100);
  EXPECT_EQ(label->Height(), 20);
  // The band's height is listed once, in the place the control declared it.
  int heights = 0;
  for (const TPropertyInfo* p : TZdqBand::ClassProperties().Properties()) heights += p->Name() == "Height";
  EXPECT_EQ(heights, 1);
  // Properties without a declared default are always written.
  EXPECT_FALSE(TZdqLine::ClassProperties().Get("LineType").HasDefault());
  EXPECT_FALSE(TZdqImage::ClassProperties().Get("AspectRatio").HasDefault());
  EXPECT_FALSE(TZdqCalculation::ClassProperties().Get("CalcType").HasDefault());
}

TEST(ReportModelSetters, ApplyTheirRules) {
  TZdReport report;
  auto* label = new TZdqLabel(&Detail(report));
  for (int bad : {360, -1, 1000}) {
    label->SetAngle(45);
    label->SetAngle(bad);
    EXPECT_EQ(label->Angle(), 0) << bad;
  }
  label->SetAngle(359);
  EXPECT_EQ(label->Angle(), 359);

  label->SetWidth(-5);
  label->SetHeight(-1);
  EXPECT_EQ(label->Width(), 50);
  EXPECT_EQ(label->Height(), 20);

  // Counts of zero would divide page widths by zero.
  report.SetColumnNumber(0);
  report.SetBarNumber(0);
  EXPECT_EQ(report.ColumnNumber(), 1);
  EXPECT_EQ(report.BarNumber(), 1);
  const TPropertyInfo& columns = TZdReport::ClassProperties().Get("ColumnNumber");
  columns.SetOrdinal(report, 3);
  columns.SetOrdinal(report, 0);  // as a template or the inspector would
  EXPECT_EQ(report.ColumnNumber(), 3);
  EXPECT_EQ(report.GetColumnNumber(), 3);
}

TEST(ReportModelSetters, NamesFollowTheirRules) {
  TZdReport report;
  TZdqBand& band = Detail(report);
  auto* label = new TZdqLabel(&band);
  EXPECT_EQ(label->Hint(), "Text");
  label->SetDisplayName("Total");
  EXPECT_EQ(label->Hint(), "Total");
  label->SetHint("custom");
  label->SetDisplayName("Sum");
  EXPECT_EQ(label->Hint(), "custom");

  auto* expr = new TZdqExpression(&band);
  expr->SetDisplayName("");
  expr->SetExpression("Orders.Amount");
  EXPECT_EQ(expr->DisplayName(), "Orders.Amount");
  expr->SetExpression("Other");
  EXPECT_EQ(expr->DisplayName(), "Orders.Amount");

  // A format still at the old default follows the value; a custom one stays.
  auto* sys = new TZdqSysData(&band);
  EXPECT_EQ(sys->DisplayName(), "DateTime");
  EXPECT_EQ(sys->Format(), "@D @DS @T @TS ");
  sys->SetSysData(TZdqSysDataType::sdPageNo);
  EXPECT_EQ(sys->Format(), "@N @ND0 @NR1 ");
  EXPECT_EQ(sys->DisplayName(), "PageNo");
  sys->SetFormat("@N ");
  sys->SetSysData(TZdqSysDataType::sdDate);
  EXPECT_EQ(sys->Format(), "@N ");
  auto* second = new TZdqSysData(&band);
  second->SetSysData(TZdqSysDataType::sdDate);
  EXPECT_EQ(second->DisplayName(), "Date1");

  // A band's name comes from its type when the type changes.
  band.SetBandType(TBandType::btGroupHeader);
  EXPECT_EQ(band.DisplayName(), "BandGroupHeader");
  EXPECT_TRUE(band.IsGroup());
}

TEST(ReportModelBands, NewReportHasThreeBands) {
  TZdReport report;
  EXPECT_EQ(TypesOf(report),
            (std::vector<TBandType>{TBandType::btPageHeader, TBandType::btDetail, TBandType::btPageFooter}));
  EXPECT_TRUE(report.GetBand(0)->NewPage());
  EXPECT_FALSE(report.GetBand(1)->NewPage());
  EXPECT_TRUE(report.GetBand(2)->NewPage());
  for (const TZdqBand* b : report.Bands()) EXPECT_EQ(b->GetZdReport(), &report);
  EXPECT_EQ(report.GetBand(3), nullptr);
  EXPECT_EQ(report.GetBand(-1), nullptr);
  EXPECT_EQ(report.GetIndexBand(TBandType::btReportTitle), -1);
  EXPECT_EQ(report.GetBandLineNo(TBandType::btReportTitle), -1);
}

TEST(ReportModelBands, InsertionFollowsOrderKeys) {
  TZdReport report;
  TZdqBand* first = &Detail(report);
  const int after = report.AddBand(TBandType::btDetail, true);
  EXPECT_EQ(after, 2);
  const int before = report.AddBand(TBandType::btDetail, false);
  EXPECT_EQ(before, 1);
  EXPECT_EQ(report.GetBand(2), first);

  // Summary last even before later additions; sub-detail after details.
  report.AddBand(TBandType::btReportSummary, false);
  report.AddBand(TBandType::btColumnFooter, true);
  report.AddBand(TBandType::btSubDetail, true);
  report.AddBand(TBandType::btReportTitle, true);
  int header = 0, footer = 0;
  report.AddGroup(header, footer, true, false, true, 12.5, "Orders.Name");
  EXPECT_EQ(TypesOf(report),
            (std::vector<TBandType>{TBandType::btReportTitle, TBandType::btPageHeader, TBandType::btGroupHeader,
                                    TBandType::btDetail, TBandType::btDetail, TBandType::btDetail,
                                    TBandType::btSubDetail, TBandType::btGroupFooter, TBandType::btColumnFooter,
                                    TBandType::btPageFooter, TBandType::btReportSummary}));
  EXPECT_EQ(header, 2);
  EXPECT_EQ(footer, 7);
  EXPECT_EQ(report.GetBand(header)->GetLinkedFooterIndex(), footer);
  EXPECT_EQ(report.GetBand(footer)->GetLinkedFooterIndex(), header);
  EXPECT_EQ(report.GetBand(footer)->LessThan(), 12.5);
  EXPECT_TRUE(report.GetBand(footer)->NewPageIfNotFit());

  // Nested group: a second header goes after the first, its footer before.
  int innerHeader = 0, innerFooter = 0;
  report.AddGroup(innerHeader, innerFooter, false, false, false, 0, "Inner");
  EXPECT_EQ(innerHeader, 3);
  EXPECT_EQ(report.GetBand(innerFooter + 1)->Expression(), "Orders.Name");
  TStringList groups{"old"};
  report.AssignGroups(false, groups);
  EXPECT_EQ(groups.Items(), (std::vector<std::string>{"old", "Orders.Name", "Inner"}));

  report.DeleteGroup("orders.name");
  EXPECT_EQ(report.GetIndexBand(TBandType::btGroupFooter), innerFooter - 1);
  EXPECT_EQ(report.GetBand(report.GetIndexBand(TBandType::btGroupHeader))->Expression(), "Inner");
}

TEST(ReportModelBands, ReorderIsStableAfterTypeChanges) {
  TZdReport report;
  TZdqBand* header = report.GetBand(0);
  TZdqBand* detail = report.GetBand(1);
  TZdqBand* extra = report.GetBand(report.AddBand(TBandType::btDetail, true));
  header->SetBandType(TBandType::btReportSummary);
  report.BandReOrder();
  EXPECT_EQ(report.Bands(), (std::vector<TZdqBand*>{detail, extra, report.GetBand(2), header}));
}

TEST(ReportModelNames, UniqueNamesWalkOnce) {
  TZdReport report;
  TZdqBand& band = Detail(report);
  auto* a = new TZdqLabel(&band);
  auto* b = new TZdqLabel(&band);
  a->SetDisplayName("Text");
  b->SetDisplayName("Text1");
  EXPECT_EQ(report.GetUniqueName("Text"), "Text2");
  a->SetDisplayName("Text1");
  b->SetDisplayName("Text");
  EXPECT_EQ(report.GetUniqueName("Text"), "Text1");
  // Band display names take no part.
  EXPECT_EQ(report.GetUniqueName("BandDetail"), "BandDetail");
}

TEST(ReportModelOwnership, ControlsMoveBetweenBands) {
  TZdReport report;
  TZdqBand* header = report.GetBand(0);
  TZdqBand* detail = report.GetBand(1);
  auto* a = new TZdqLabel(detail);
  auto* b = new TZdqLabel(detail);
  EXPECT_EQ(a->GetParentBand(), detail);
  EXPECT_EQ(a->GetZdReport(), &report);
  EXPECT_EQ(b->GetControlIndex(), 1);
  a->FZdqControlState = TZdqControlState::scsMove;

  a->MoveToBand(*header);
  EXPECT_EQ(a->Owner(), header);
  EXPECT_EQ(a->GetParentBand(), header);
  EXPECT_EQ(header->Objects(), (std::vector<TZdqControl*>{a}));
  EXPECT_EQ(detail->Objects(), (std::vector<TZdqControl*>{b}));
  EXPECT_EQ(a->FZdqControlState, TZdqControlState::scsNothing);
  EXPECT_EQ(a->ZdqControlResize, TZdqControlResize::scrNone);

  // Moving within the band sends the control to the end.
  auto* c = new TZdqLabel(header);
  a->MoveToBand(*header);
  EXPECT_EQ(header->Objects(), (std::vector<TZdqControl*>{c, a}));

  // Another report's band: the report reference follows.
  TZdReport other;
  a->MoveToBand(*other.GetBand(1));
  EXPECT_EQ(a->GetZdReport(), &other);
  EXPECT_EQ(header->GetElement(a), -1);

  delete c;
  EXPECT_TRUE(header->Objects().empty());
  report.DeleteBand(1);  // frees b with its band
  EXPECT_EQ(report.Bands().size(), 2u);
  EXPECT_EQ(report.GetIndexBand(TBandType::btDetail), -1);
}

TEST(ReportModelOwnership, BandsLeaveTheListWhenFreedOrMoved) {
  TZdReport report, other;
  TZdqBand* footer = report.GetBand(2);
  new TZdqLabel(footer);
  other.InsertComponent(footer);
  EXPECT_EQ(report.Bands().size(), 2u);
  EXPECT_EQ(other.Bands().back(), footer);
  EXPECT_EQ(footer->Objects().front()->GetZdReport(), &other);
  delete footer;
  EXPECT_EQ(other.Bands().size(), 3u);
  report.DeleteBand(7);  // out of range: nothing
  EXPECT_EQ(report.Bands().size(), 2u);
}

TEST(ReportModelOwnership, RemovedDatasetsAreForgotten) {
  TComponent form;
  auto* report = new TZdReport(&form);
  auto* manager = new TZdqDataManager(&form);
  TMemoryDataSet* orders = MakeOrders(&form, "Orders");
  TMemoryDataSet* lines = MakeOrders(&form, "Lines");
  report->SetDataSet(orders);
  report->SetDataManager(manager);
  manager->AddDataset(orders);
  manager->AddDataset(lines);
  TZdqBand* sub = report->GetBand(report->AddBand(TBandType::btSubDetail, true));
  sub->SetDataset(lines);
  EXPECT_EQ(sub->Dataset(), lines);

  delete lines;
  EXPECT_EQ(sub->Dataset(), orders);  // back to the report's dataset
  EXPECT_EQ(manager->Datasets()[1]->Dataset(), nullptr);
  EXPECT_EQ(manager->Datasets()[1]->Caption(), "");

  delete orders;
  EXPECT_EQ(report->DataSet(), nullptr);
  EXPECT_EQ(sub->Dataset(), nullptr);
  delete manager;
  EXPECT_EQ(report->DataManager(), nullptr);
}

TEST(ReportModelOwnership, ReportDatasetClearsTheSameBandDataset) {
  TComponent form;
  TMemoryDataSet* orders = MakeOrders(&form, "Orders");
  TZdReport report;
  TZdqBand& band = Detail(report);
  band.SetDataset(orders);
  report.SetDataSet(orders);
  EXPECT_EQ(TZdqBand::ClassProperties().Get("Dataset").GetReference(band), nullptr);
  band.SetDataset(orders);  // equal to the report's: stays unset
  EXPECT_EQ(TZdqBand::ClassProperties().Get("Dataset").GetReference(band), nullptr);
}

TEST(ReportModelRegistry, BuiltInControlsAndCaptions) {
  RegisterReportClasses();
  const std::vector<std::pair<const char*, const char*>> expected{
      {"TZdqLabel", "Add text label"},  {"TZdqExpression", "Add expression"},
      {"TZdqSysData", "Add system data/variable"}, {"TZdqImage", "Add image"},
      {"TZdqLine", "Add line"},         {"TZdqRectangle", "Add rectangle"},
      {"TZdqEllipse", "Add ellipse"},   {"TZdRichText", "Add a richtext"}};
  for (const auto& [name, caption] : expected) {
    const TZdqRegisterControl* entry = FindZdqControl(UpperCase(name));
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_EQ(ZdqControlCaption(*entry, 0), caption);
    ASSERT_NE(TZdqBand::GetClassByName(name), nullptr) << name;
  }
  EXPECT_NE(GlobalClassRegistry().Find("TZdReport"), nullptr);
  EXPECT_NE(GlobalClassRegistry().Find("TZdqBand"), nullptr);
  EXPECT_EQ(TZdqBand::GetClassByName("TZdReport"), nullptr);
  EXPECT_EQ(TZdqBand::GetClassByName("TNoSuchClass"), nullptr);

  TZdReport report;
  TZdqBand& band = Detail(report);
  const int first = band.AddElement(*TZdqBand::GetClassByName("TZdqLabel"));
  const int second = band.AddElement(*TZdqBand::GetClassByName("TZdqLabel"));
  EXPECT_EQ(band.Objects()[size_t(first)]->DisplayName(), "Text");
  EXPECT_EQ(band.Objects()[size_t(second)]->DisplayName(), "Text1");
  EXPECT_EQ(band.Objects()[size_t(second)]->ClassName(), "TZdqLabel");
}

namespace {
class TZdqStamp : public TZdqLabel {
 public:
  using TZdqLabel::TZdqLabel;
  std::string ClassName() const override { return "TZdqStamp"; }
};
}  // namespace

TEST(ReportModelRegistry, RegisterReplacesAndUnregisterRemoves) {
  RegisterReportClasses();
  const size_t before = lstZdqControls().size();
  RegisterZdqControl<TZdqStamp>("TZdqStamp", 1911, "Stamp it");
  RegisterZdqControl<TZdqStamp>("TZdqStamp", 1912);
  EXPECT_EQ(lstZdqControls().size(), before + 1);
  EXPECT_EQ(ZdqControlCaption(*FindZdqControl("TZdqStamp"), 0), "Add expression");
  EXPECT_NE(TZdqBand::GetClassByName("TZdqStamp"), nullptr);
  UnRegisterZdqControl("tzdqstamp");
  EXPECT_EQ(FindZdqControl("TZdqStamp"), nullptr);
  EXPECT_EQ(GlobalClassRegistry().Find("TZdqStamp"), nullptr);
  EXPECT_EQ(lstZdqControls().size(), before);

  TComponentClass unnamed{"", typeid(TZdqStamp), [](TComponent* o) -> TComponent* { return new TZdqStamp(o); },
                          &TZdqLabel::ClassProperties()};
  RegisterZdqControl(unnamed, 1, "");
  EXPECT_EQ(lstZdqControls().size(), before);
}

TEST(ReportModelData, FieldReferencesResolve) {
  TComponent form;
  TMemoryDataSet* orders = MakeOrders(&form, "Orders");
  TMemoryDataSet* customers = MakeOrders(&form, "Customers");
  TZdqDataManager manager;
  manager.AddDataset(orders);
  manager.AddDataset(customers)->SetCaption("Cust");

  EXPECT_EQ(GetFieldByName(&manager, "Amount"), orders->FindField("Amount"));
  EXPECT_EQ(GetFieldByName(&manager, "orders.amount"), orders->FindField("Amount"));
  EXPECT_EQ(GetFieldByName(&manager, "Report.Customers.Name"), customers->FindField("Name"));
  EXPECT_EQ(GetFieldByName(&manager, "CUST.Name"), customers->FindField("Name"));
  for (const char* bad : {"", "Nope", "Missing.Amount", "Orders.", ".Amount", "Orders.Nope", "a.b.c.d"})
    EXPECT_EQ(GetFieldByName(&manager, bad), nullptr) << bad;
  EXPECT_EQ(GetFieldByName(nullptr, "Amount"), nullptr);
  const TZdqDataManager empty;
  EXPECT_EQ(GetFieldByName(&empty, "Amount"), nullptr);
  EXPECT_EQ(manager.Datasets().ItemByDataset(customers)->Caption(), "Cust");
  EXPECT_EQ(manager.Datasets()[0]->Caption(), "Orders");
}

TEST(ReportModelData, FillDatasetListPutsTheMainDatasetFirst) {
  TComponent form;
  TMemoryDataSet* a = MakeOrders(&form, "A");
  TMemoryDataSet* main = MakeOrders(&form, "Main");
  TMemoryDataSet* nested = MakeOrders(main, "Nested");
  new TComponent(&form);  // not a dataset
  TZdqDataManager manager;
  manager.FillDatasetList(&form, main);
  ASSERT_EQ(manager.Datasets().Count(), 3);
  EXPECT_EQ(manager.Datasets()[0]->Dataset(), main);
  EXPECT_EQ(manager.Datasets()[1]->Dataset(), a);
  EXPECT_EQ(manager.Datasets()[2]->Dataset(), nested);
}

TEST(ReportModelData, ReportResolvesNames) {
  TComponent form;
  TMemoryDataSet* orders = MakeOrders(&form, "Orders");
  auto* report = new TZdReport(&form);
  report->SetDataSet(orders);
  // The default manager is filled from the report's owner.
  EXPECT_EQ(report->Evaluate("[Orders.Amount]"), TVariant(int64_t(42)));
  EXPECT_EQ(report->Evaluate(" Name "), TVariant("first"));
  try {
    report->Evaluate("Bogus");
    ADD_FAILURE() << "an unknown name must raise";
  } catch (const EExprError& e) {
    EXPECT_STREQ(e.what(), "Field 'Bogus' not found");
  }
  TStringList fields;
  report->AssignDataSets(fields);
  EXPECT_EQ(fields.Items(), (std::vector<std::string>{"Orders.Amount", "Orders.Name"}));

  auto* label = new TZdqLabel(&Detail(*report));
  EXPECT_EQ(label->GetDatasetByName("ORDERS.Amount"), orders);
  EXPECT_EQ(label->GetDatasetByName("Amount"), orders);
  EXPECT_EQ(label->GetDatasetByName("Other.Amount"), nullptr);

  TZdqParameter* p = report->Parameters().Add();
  p->SetName("Customer");
  p->SetDisplayLabel("Cust");
  p->SetValue(TVariant(7));
  for (const char* name : {"cust", " CUSTOMER ", "Customer"}) {
    bool accept = false;
    TFieldType type = TFieldType::ftString;
    TVariant value;
    report->ZdqGetVariable(nullptr, name, accept, type, value);
    EXPECT_TRUE(accept) << name;
    EXPECT_EQ(type, TFieldType::ftInteger);
    EXPECT_EQ(value, TVariant(7));
  }
  EXPECT_EQ(report->Parameters().ParamByName("customer"), nullptr);
  EXPECT_EQ(report->Parameters().ParamByName("Customer"), p);
}

TEST(ReportModelData, NumberingComesFromTheReport) {
  TZdReport report;
  report.SetPageNoStartAt(10);
  report.SetPageNoCountBy(2);
  report.SetColumnNumber(3);
  report.Producer().SetCurColumn(1);
  report.Producer().SetCurrentPage(2, 0);
  auto value = [&](const char* name) {
    bool accept = false;
    TFieldType type = TFieldType::ftString;
    TVariant v;
    report.ZdqGetVariable(nullptr, name, accept, type, v);
    EXPECT_TRUE(accept) << name;
    return v;
  };
  EXPECT_EQ(value("PageNo"), TVariant(2 * 3 + 10));
  EXPECT_EQ(value("columnno"), TVariant(2));
  EXPECT_EQ(value("ColumnCount"), TVariant(3));

  auto* sys = new TZdqSysData(&Detail(report));
  Detail(report).LineNo = 4;
  sys->SetSysData(TZdqSysDataType::sdDetailNo);
  sys->UpdateCurValue();
  EXPECT_EQ(sys->GetCurValue(), TVariant("4"));
}

TEST(ReportModelAssign, ObjectPropertiesAreCopied) {
  TZdReport report;
  auto* label = new TZdqLabel(&Detail(report));

  TZdqFrame frame;
  frame.SetWidth(3);
  frame.SetDrawTop(true);
  label->SetFrame(frame);
  frame.SetWidth(9);
  EXPECT_EQ(label->Frame().Width(), 3);
  EXPECT_TRUE(label->Frame().DrawTop());

  TZdqHighLights highlights;
  TZdqHighLight* h = highlights.Add();
  h->SetExpression("Flag");
  h->SetColor(clRed);
  h->Font().Edit().Size = 14;
  label->SetHighLights(highlights);
  h->Font().Edit().Size = 8;
  ASSERT_EQ(label->HighLights().Count(), 1);
  EXPECT_NE(label->HighLights()[0], h);
  EXPECT_EQ(label->HighLights()[0]->Font().Value().Size, 14);
  EXPECT_EQ(label->HighLights()[0]->Color(), clRed);

  TZdPrintWhen when;
  when.SetShowIf("A");
  when.SetRepeatedValues(false);
  label->SetZdPrintWhen(when);
  when.SetShowIf("B");
  EXPECT_EQ(label->ZdPrintWhen().ShowIf(), "A");
  EXPECT_FALSE(label->ZdPrintWhen().RepeatedValues());

  TStringList lines{"one", "two"};
  label->SetComments(lines);
  lines.Add("three");
  EXPECT_EQ(label->Comments().Count(), 2);

  TZdqExpression expr;
  TZdqCalculation calc;
  calc.SetCalcType(TCalcType::ctSum);
  calc.SetResetGroup("G");
  expr.SetCalculation(calc);
  calc.SetCalcType(TCalcType::ctCount);
  EXPECT_EQ(expr.Calculation().CalcType(), TCalcType::ctSum);
  EXPECT_EQ(expr.Calculation().ResetGroup(), "G");

  EXPECT_THROW(label->Frame().Assign(calc), EConvertError);
}

TEST(ReportModelDraw, CommonPartMeasuresAndDraws) {
  TZdReport report;
  auto* control = new TZdqRectangle(&Detail(report));
  control->Frame().SetWidth(2);
  TRecordingCanvas canvas;

  TRect rect{0, 0, 50, 20};
  EXPECT_EQ(control->Draw(canvas, rect, kDrawMeasure), 2 * 2 + 20);
  EXPECT_EQ(rect, (TRect{0, 0, 50, 20}));
  EXPECT_TRUE(canvas.fills.empty());

  // Transparent: no fill; the rectangle shrinks inside the frame.
  EXPECT_EQ(control->Draw(canvas, rect, 0), 24);
  EXPECT_EQ(rect, (TRect{2, 2, 48, 18}));
  EXPECT_TRUE(canvas.fills.empty());

  control->SetTransparent(false);
  control->SetBackColor(clBlue);
  rect = {0, 0, 50, 20};
  control->Draw(canvas, rect, 0);
  ASSERT_EQ(canvas.fills.size(), 1u);
  EXPECT_EQ(canvas.fills[0].color, clBlue);

  auto* line = new TZdqLine(&Detail(report));
  line->Frame().SetWidth(2);
  rect = {0, 0, 50, 20};
  line->Draw(canvas, rect, 0);
  EXPECT_EQ(rect, (TRect{0, 0, 50, 20}));
}

TEST(ReportModelConditions, ShowIfAndHideWhen) {
  TZdReport report;
  int hideAsked = 0;
  bool show = false;
  report.OnGetVariable = [&](TComponent*, const std::string& name, bool& accept, TFieldType&, TVariant& value) {
    accept = true;
    if (name == "Show") value = TVariant(show);
    if (name == "Hide") {
      ++hideAsked;
      value = TVariant(true);
    }
  };
  auto* plain = new TZdqLabel(&Detail(report));
  auto* conditional = new TZdqLabel(&Detail(report));
  conditional->ZdPrintWhen().SetShowIf("Show");
  conditional->ZdPrintWhen().SetHideWhen("Hide");

  report.UpdateControlStates();
  EXPECT_TRUE(plain->FCanBePrinted);
  EXPECT_FALSE(conditional->FCanBePrinted);
  EXPECT_EQ(hideAsked, 0);

  show = true;
  report.UpdateControlStates();
  EXPECT_FALSE(conditional->FCanBePrinted);
  EXPECT_EQ(hideAsked, 1);
}
