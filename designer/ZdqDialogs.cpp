#include "designer/ZdqDialogs.h"

#include <algorithm>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "barcode/ZdBarCode.h"
#include "designer/DialogButtons.h"
#include "designer/ExpressionBuilder.h"
#include "designer/ExpressionEdit.h"
#include "designer/ZdPicEdit.h"
#include "designer/controls/ColorButton.h"
#include "designer/DesignerText.h"
#include "host/graphics/QtGraphics.h"
#include "host/graphics/SystemColors.h"
#include "print/Language.h"
#include "print/TextIds.h"
#include "report/controls/PictureControls.h"
#include "report/controls/ShapeControls.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"
#include "report/model/ZdqDMan.h"

namespace zd {

namespace {

QString Qs(const std::string& s) { return QString::fromStdString(s); }

// Radio buttons in a titled box, their ids 0, 1, ... in order.
QGroupBox* RadioGroup(int count, QButtonGroup*& buttons, QWidget* owner) {
  auto* box = new QGroupBox;
  auto* layout = new QVBoxLayout(box);
  buttons = new QButtonGroup(owner);
  for (int i = 0; i < count; ++i) {
    auto* b = new QRadioButton;
    buttons->addButton(b, i);
    layout->addWidget(b);
  }
  return box;
}

void CaptionRadios(QButtonGroup* buttons, int shift, int firstId) {
  for (QAbstractButton* b : buttons->buttons()) b->setText(Qs(GetString(shift, firstId + buttons->id(b))));
}

QDialogButtonBox* OkCancel(QDialog& dialog, QPushButton*& ok, QPushButton*& cancel) {
  return NewOkCancel(dialog, "OK", "Cancel", &ok, &cancel);
}

// The entry of text in the list, added at the end when missing.
void SelectOrAdd(QComboBox* list, const QString& text) {
  int index = list->findText(text);
  if (index < 0 && !text.isEmpty()) {
    list->addItem(text);
    index = list->count() - 1;
  }
  list->setCurrentIndex(index);
}

QStringList Lines(const TStrings& strings) {
  QStringList out;
  for (int i = 0; i < strings.Count(); ++i) out << Qs(strings.Strings(i));
  return out;
}

QStringList DatasetFields(TZdReport* report) {
  TStringList fields;
  if (report) report->AssignDataSets(fields);
  return Lines(fields);
}

QLineEdit* DigitsEdit() {
  auto* edit = new QLineEdit;
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,9}"), edit));
  return edit;
}

}  // namespace

void RegisterStandardZdqEditors(const std::function<void(const std::string&, detail::TZdqEditorFactory)>& add) {
  auto dialog = [&add]<class T>(const std::string& cls, T*) {
    detail::TZdqEditorFactory f;
    f.dialog = [](QWidget* parent) { return std::make_unique<T>(parent); };
    add(cls, std::move(f));
  };
  dialog("TZdqControl", static_cast<TfrmControl*>(nullptr));
  dialog("TZdqLabel", static_cast<TfrmLabel*>(nullptr));
  for (const char* cls : {"TZdqLine", "TZdqRectangle", "TZdqEllipse"}) dialog(cls, static_cast<TfrmShape*>(nullptr));
  for (const char* cls : {"TZdqImage", "TZdRichText", "TZdBarCode"}) dialog(cls, static_cast<TfrmImage*>(nullptr));
  dialog("TZdqBand", static_cast<TfrmZdqBand*>(nullptr));
}

// ---- TfrmPrintWhen ----

TfrmPrintWhen::TfrmPrintWhen(QWidget* parent) : QDialog(parent) {
  auto* layout = new QVBoxLayout(this);
  gbRepeated = new QGroupBox;
  auto* repeated = new QHBoxLayout(gbRepeated);
  rbRepeatedYes = new QRadioButton;
  rbRepeatedNo = new QRadioButton;
  repeated->addWidget(rbRepeatedYes);
  repeated->addWidget(rbRepeatedNo);
  layout->addWidget(gbRepeated);
  cbRePrintOnNewPage = new QCheckBox;
  cbOnGroupChange = new QCheckBox;
  cbGroups = new QComboBox;
  cbOnOverflow = new QCheckBox;
  cbRemoveBlankLine = new QCheckBox;
  layout->addWidget(cbRePrintOnNewPage);
  auto* group = new QHBoxLayout;
  group->addWidget(cbOnGroupChange);
  group->addWidget(cbGroups, 1);
  layout->addLayout(group);
  layout->addWidget(cbOnOverflow);
  layout->addWidget(cbRemoveBlankLine);
  auto* conditions = new QFormLayout;
  cbShowIf = new QCheckBox;
  edShowIf = new TExpressionEdit;
  cbHideWhen = new QCheckBox;
  edHideWhen = new TExpressionEdit;
  conditions->addRow(cbShowIf, edShowIf);
  conditions->addRow(cbHideWhen, edHideWhen);
  layout->addLayout(conditions);
  layout->addWidget(OkCancel(*this, btnOk, btnCancel));
  for (QCheckBox* box : {cbOnGroupChange, cbShowIf, cbHideWhen})
    connect(box, &QCheckBox::toggled, this, [this] { updateEnabled(); });
  updateEnabled();
}

void TfrmPrintWhen::FillStringsFromRes() {
  auto t = [this](int id) { return Qs(GetString(LangShift, id)); };
  setWindowTitle(t(txt::PrintWhenCaption));
  gbRepeated->setTitle(t(txt::RepeatedValues));
  rbRepeatedYes->setText(t(txt::Yes));
  rbRepeatedNo->setText(t(txt::No));
  cbRePrintOnNewPage->setText(t(txt::RePrintOnNewPage));
  cbOnGroupChange->setText(t(txt::OnGroupChange));
  cbOnOverflow->setText(t(txt::OnOverflow));
  cbRemoveBlankLine->setText(t(txt::RemoveBlankLine));
  cbShowIf->setText(t(txt::ShowIf));
  cbHideWhen->setText(t(txt::HideWhen));
  btnOk->setText(t(txt::OK));
  btnCancel->setText(t(txt::Cancel));
}

void TfrmPrintWhen::SetGroups(const QStringList& groups) {
  cbGroups->clear();
  cbGroups->addItems(groups);
  cbOnGroupChange->setEnabled(!groups.isEmpty());
  updateEnabled();
}

void TfrmPrintWhen::SetReport(TZdReport* report) {
  edShowIf->SetReport(report);
  edHideWhen->SetReport(report);
}

void TfrmPrintWhen::SetPrintWhen(const TZdPrintWhen& p) {
  rbRepeatedYes->setChecked(p.RepeatedValues());
  rbRepeatedNo->setChecked(!p.RepeatedValues());
  cbRePrintOnNewPage->setChecked(p.RePrintOnNewPage());
  cbOnGroupChange->setChecked(p.OnGroupChange());
  cbGroups->setCurrentIndex(cbGroups->findText(Qs(p.GroupName())));
  cbOnOverflow->setChecked(p.OnOverflow());
  cbRemoveBlankLine->setChecked(p.RemoveBlankLine());
  cbShowIf->setChecked(!p.ShowIf().empty());
  edShowIf->SetExpression(p.ShowIf());
  cbHideWhen->setChecked(!p.HideWhen().empty());
  edHideWhen->SetExpression(p.HideWhen());
  updateEnabled();
}

TZdPrintWhen TfrmPrintWhen::PrintWhen() const {
  TZdPrintWhen p;
  p.SetRepeatedValues(rbRepeatedYes->isChecked());
  p.SetRePrintOnNewPage(cbRePrintOnNewPage->isChecked());
  p.SetOnGroupChange(cbOnGroupChange->isChecked());
  p.SetGroupName(cbGroups->currentText().toStdString());
  p.SetOnOverflow(cbOnOverflow->isChecked());
  p.SetRemoveBlankLine(cbRemoveBlankLine->isChecked());
  p.SetShowIf(cbShowIf->isChecked() ? edShowIf->Expression() : std::string());
  p.SetHideWhen(cbHideWhen->isChecked() ? edHideWhen->Expression() : std::string());
  return p;
}

void TfrmPrintWhen::updateEnabled() {
  cbGroups->setEnabled(cbOnGroupChange->isChecked());
  edShowIf->setEnabled(cbShowIf->isChecked());
  edHideWhen->setEnabled(cbHideWhen->isChecked());
}

// ---- TfrmControl ----

TfrmControl::TfrmControl(QWidget* parent) : TZdqBaseEditor(parent) {
  auto* layout = new QVBoxLayout(this);
  pcControl = new QTabWidget;
  layout->addWidget(pcControl, 1);

  tsGeneral = new QWidget;
  auto* general = new QVBoxLayout(tsGeneral);
  auto* names = new QFormLayout;
  lblDisplayName = new QLabel;
  edDisplayName = new QLineEdit;
  btnDisplayName = new QPushButton("...");
  btnDisplayName->setFixedWidth(btnDisplayName->sizeHint().height());
  btnDisplayName->hide();
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(edDisplayName, 1);
  nameRow->addWidget(btnDisplayName);
  lblHint = new QLabel;
  edHint = new QLineEdit;
  names->addRow(lblDisplayName, nameRow);
  names->addRow(lblHint, edHint);
  general->addLayout(names);
  rgPosition = RadioGroup(4, bgPosition, this);
  general->addWidget(rgPosition);
  cbTransparent = new QCheckBox;
  btnPrintWhen = new QPushButton;
  auto* row = new QHBoxLayout;
  row->addWidget(cbTransparent);
  row->addStretch();
  row->addWidget(btnPrintWhen);
  general->addLayout(row);
  generalExtra_ = new QVBoxLayout;
  general->addLayout(generalExtra_);
  general->addStretch();
  pcControl->addTab(tsGeneral, {});

  tsHighLights = new QWidget;
  auto* highLights = new QVBoxLayout(tsHighLights);
  lbHighLights = new QListWidget;
  highLights->addWidget(lbHighLights, 1);
  auto* item = new QHBoxLayout;
  btnHighLightColor = new TColorButton;
  btnHighLightColor->SetColorType(TColorType::ctcFill);
  btnHighLightFont = new QPushButton;
  item->addWidget(btnHighLightColor);
  item->addWidget(btnHighLightFont);
  item->addStretch();
  btnAddHighLight = new QPushButton;
  btnDeleteHighLight = new QPushButton;
  item->addWidget(btnAddHighLight);
  item->addWidget(btnDeleteHighLight);
  highLights->addLayout(item);
  auto* expression = new QFormLayout;
  lblHighLightExpression = new QLabel;
  edHighLightExpression = new TExpressionEdit;
  expression->addRow(lblHighLightExpression, edHighLightExpression);
  highLights->addLayout(expression);
  pcControl->addTab(tsHighLights, {});

  tsDescription = new QWidget;
  auto* description = new QVBoxLayout(tsDescription);
  meDescription = new QPlainTextEdit;
  description->addWidget(meDescription);
  pcControl->addTab(tsDescription, {});
  layout->addWidget(OkCancel(*this, btnOk, btnCancel));

  connect(btnPrintWhen, &QPushButton::clicked, this, [this] { editPrintWhen(); });
  connect(btnAddHighLight, &QPushButton::clicked, this, [this] {
    ZdqHighLights.Add();
    listHighLights();
    lbHighLights->setCurrentRow(ZdqHighLights.Count() - 1);
  });
  connect(btnDeleteHighLight, &QPushButton::clicked, this, [this] {
    const int row = lbHighLights->currentRow();
    if (row < 0) return;
    ZdqHighLights.Delete(row);
    listHighLights();
    lbHighLights->setCurrentRow(std::min(row, ZdqHighLights.Count() - 1));
  });
  connect(btnHighLightFont, &QPushButton::clicked, this, [this] {
    TZdqHighLight* h = currentHighLight();
    if (!h) return;
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, ToQFont(h->Font().Value()), this);
    if (!ok) return;
    TFont& f = h->Font().Edit();
    f.Name = chosen.family().toStdString();
    if (chosen.pointSize() > 0) f.Size = chosen.pointSize();
    f.Style = TFontStyles{};
    f.Style.Set(fsBold, chosen.bold());
    f.Style.Set(fsItalic, chosen.italic());
    f.Style.Set(fsUnderline, chosen.underline());
  });
  connect(lbHighLights, &QListWidget::currentRowChanged, this, [this] { showHighLight(); });
  connect(edHighLightExpression->Edit, &QLineEdit::editingFinished, this, [this] { storeHighLight(); });
  connect(edHighLightExpression, &TExpressionEdit::builderAccepted, this, [this] { storeHighLight(); });
  btnHighLightColor->OnChange = [this](TZdCustomColorBtn*) { storeHighLight(); };
  showHighLight();
}

QString TfrmControl::text(int id) const { return DesignerText(LangShift, id); }

void TfrmControl::FillStringsFromRes() {
  setWindowTitle(text(txt::ControlCaption));
  pcControl->setTabText(0, text(txt::PageGeneral));
  pcControl->setTabText(1, text(txt::PageHighLights));
  pcControl->setTabText(2, text(txt::PageDescription));
  lblDisplayName->setText(text(txt::DisplayNameLabel));
  lblHint->setText(text(txt::HintLabel));
  rgPosition->setTitle(text(txt::ObjectPosition));
  CaptionRadios(bgPosition, LangShift, txt::PositionNames);
  cbTransparent->setText(text(txt::Transparent));
  btnPrintWhen->setText(text(txt::PrintWhenButton));
  btnHighLightFont->setText(text(txt::FontButton));
  btnAddHighLight->setText(text(txt::Add));
  btnDeleteHighLight->setText(text(txt::Delete));
  lblHighLightExpression->setText(text(txt::ExpressionLabel));
  btnOk->setText(text(txt::OK));
  btnCancel->setText(text(txt::Cancel));
}

void TfrmControl::BeforeEditProperties() {
  TZdqControl& c = *FZdqControl;
  if (TZdReport* r = report()) LangShift = r->GetLanguageShift();
  edHighLightExpression->SetReport(report());
  edDisplayName->setText(Qs(c.DisplayName()));
  edHint->setText(Qs(c.Hint()));
  if (QAbstractButton* b = bgPosition->button(int(c.ObjectPosition()))) b->setChecked(true);
  cbTransparent->setChecked(c.Transparent());
  meDescription->setPlainText(Lines(c.Comments()).join('\n'));
  PrintWhen.Assign(c.ZdPrintWhen());
  ZdqHighLights.Assign(c.HighLights());
  listHighLights();
  if (ZdqHighLights.Count() > 0) lbHighLights->setCurrentRow(0);
}

void TfrmControl::AfterEditProperties() {
  storeHighLight();  // an expression still being typed
  TZdqControl& c = *FZdqControl;
  c.SetDisplayName(edDisplayName->text().toStdString());
  c.SetHint(edHint->text().toStdString());
  c.SetZdPrintWhen(PrintWhen);
  if (bgPosition->checkedId() >= 0) c.SetObjectPosition(TZdqObjectPosition(bgPosition->checkedId()));
  c.SetTransparent(cbTransparent->isChecked());
  // Lines compare as they were read, so an untouched memo keeps them exactly.
  if (meDescription->toPlainText() != Lines(c.Comments()).join('\n')) {
    TStringList lines;
    lines.SetText(meDescription->toPlainText().toStdString());
    c.SetComments(lines);
  }
  c.SetHighLights(ZdqHighLights);
}

void TfrmControl::ShowMemoOnly(const QString& caption, const QString& memoText) {
  pcControl->setTabVisible(0, false);
  pcControl->setTabVisible(1, false);
  pcControl->tabBar()->hide();
  pcControl->setCurrentWidget(tsDescription);
  setWindowTitle(caption);
  meDescription->setPlainText(memoText);
}

void TfrmControl::editPrintWhen() {
  TfrmPrintWhen dialog(this);
  dialog.LangShift = LangShift;
  dialog.FillStringsFromRes();
  TStringList groups;
  if (TZdReport* r = report()) r->AssignGroups(true, groups);
  dialog.SetGroups(Lines(groups));
  dialog.SetReport(report());
  dialog.SetPrintWhen(PrintWhen);
  if (dialog.exec() == QDialog::Accepted) PrintWhen.Assign(dialog.PrintWhen());
}

TZdqHighLight* TfrmControl::currentHighLight() const {
  const int row = lbHighLights->currentRow();
  return row >= 0 && row < ZdqHighLights.Count() ? ZdqHighLights[row] : nullptr;
}

void TfrmControl::listHighLights() {
  const QSignalBlocker quiet(lbHighLights);
  lbHighLights->clear();
  for (int i = 0; i < ZdqHighLights.Count(); ++i) {
    const TZdqHighLight& h = *ZdqHighLights[i];
    QPixmap swatch(16, 16);
    swatch.fill(ToQColor(ResolveSystemColor(h.Color())));
    QPainter(&swatch).drawRect(0, 0, 15, 15);
    lbHighLights->addItem(new QListWidgetItem(QIcon(swatch), Qs(h.Expression())));
  }
  showHighLight();
}

void TfrmControl::showHighLight() {
  TZdqHighLight* h = currentHighLight();
  for (QWidget* w : std::initializer_list<QWidget*>{btnHighLightColor, btnHighLightFont, edHighLightExpression,
                                                    btnDeleteHighLight})
    w->setEnabled(h != nullptr);
  edHighLightExpression->SetExpression(h ? h->Expression() : std::string());
  if (h) {
    auto keep = std::move(btnHighLightColor->OnChange);  // showing is not editing
    btnHighLightColor->SetColor(h->Color());
    btnHighLightColor->OnChange = std::move(keep);
  }
}

void TfrmControl::storeHighLight() {
  TZdqHighLight* h = currentHighLight();
  if (!h) return;
  const std::string expression = edHighLightExpression->Expression();
  if (h->Expression() == expression && h->Color() == btnHighLightColor->Color()) return;
  h->SetExpression(expression);
  h->SetColor(btnHighLightColor->Color());
  const int row = lbHighLights->currentRow();
  listHighLights();
  lbHighLights->setCurrentRow(row);
}

// ---- TfrmLabel ----

TfrmLabel::TfrmLabel(QWidget* parent) : TfrmControl(parent) {
  btnDisplayName->show();
  gbSize = new QGroupBox;
  auto* size = new QHBoxLayout(gbSize);
  cbStretch = new QCheckBox;
  cbWordWrap = new QCheckBox;
  lblAngle = new QLabel;
  edAngle = DigitsEdit();
  edAngle->setMaximumWidth(60);
  for (QWidget* w : std::initializer_list<QWidget*>{cbStretch, cbWordWrap, lblAngle, edAngle}) size->addWidget(w);
  size->addStretch();
  generalExtra_->addWidget(gbSize);
  connect(btnDisplayName, &QPushButton::clicked, this, [this] { editText(); });
}

void TfrmLabel::FillStringsFromRes() {
  TfrmControl::FillStringsFromRes();
  setWindowTitle(text(txt::LabelCaption));
  gbSize->setTitle(text(txt::SizeGroup));
  cbStretch->setText(text(txt::Stretch));
  cbWordWrap->setText(text(txt::WordWrap));
  lblAngle->setText(text(txt::AngleLabel));
}

void TfrmLabel::BeforeEditProperties() {
  TfrmControl::BeforeEditProperties();
  if (auto* label = element<TZdqLabel>()) {
    TypeControl = dynamic_cast<TZdqSysData*>(label)      ? TfrmTypeControl::tcSysData
                  : dynamic_cast<TZdqExpression*>(label) ? TfrmTypeControl::tcExpression
                                                         : TfrmTypeControl::tcLabel;
    cbStretch->setChecked(label->Stretch());
    cbWordWrap->setChecked(label->WordWrap());
    edAngle->setText(QString::number(label->Angle()));
  }
}

void TfrmLabel::AfterEditProperties() {
  TfrmControl::AfterEditProperties();
  if (auto* label = element<TZdqLabel>()) {
    label->SetStretch(cbStretch->isChecked());
    label->SetWordWrap(cbWordWrap->isChecked());
    label->SetAngle(edAngle->text().toInt());  // digits only; empty is 0
  }
}

void TfrmLabel::editText() {
  TfrmControl editor(this);
  editor.LangShift = LangShift;
  editor.FillStringsFromRes();
  editor.ShowMemoOnly(lblDisplayName->text(), edDisplayName->text());
  editor.resize(480, 320);
  if (editor.exec() == QDialog::Accepted) edDisplayName->setText(editor.meDescription->toPlainText());
}

// ---- TfrmShape ----

TfrmShape::TfrmShape(QWidget* parent) : TfrmControl(parent) {
  rgStretch = RadioGroup(3, bgStretch, this);
  cbDoubleLine = new QCheckBox;
  gbLineStyle = RadioGroup(8, bgLine, this);
  gbRectangle = RadioGroup(4, bgRectangle, this);
  gbEllipse = RadioGroup(2, bgEllipse, this);
  generalExtra_->addWidget(rgStretch);
  generalExtra_->addWidget(cbDoubleLine);
  for (QGroupBox* g : {gbLineStyle, gbRectangle, gbEllipse}) {
    g->hide();
    generalExtra_->addWidget(g);
  }
}

void TfrmShape::FillStringsFromRes() {
  TfrmControl::FillStringsFromRes();
  setWindowTitle(text(txt::ShapeCaption));
  rgStretch->setTitle(text(txt::StretchDownwards));
  CaptionRadios(bgStretch, LangShift, txt::ShapeStretchNames);
  cbDoubleLine->setText(text(txt::DoubleLine));
  gbLineStyle->setTitle(text(txt::LineStyleGroup));
  CaptionRadios(bgLine, LangShift, txt::LineTypeNames);
  gbRectangle->setTitle(text(txt::RectangleGroup));
  CaptionRadios(bgRectangle, LangShift, txt::RectangleTypeNames);
  gbEllipse->setTitle(text(txt::EllipseGroup));
  CaptionRadios(bgEllipse, LangShift, txt::EllipseTypeNames);
}

void TfrmShape::BeforeEditProperties() {
  TfrmControl::BeforeEditProperties();
  auto* shape = element<TZdqShape>();
  if (!shape) return;
  TypeControl = TfrmTypeControl::tcShape;
  bgStretch->button(int(shape->Stretch()))->setChecked(true);
  cbDoubleLine->setChecked(shape->LineStyle() == TLineStyle::lsDouble);
  auto show = [](QGroupBox* box, QButtonGroup* buttons, int style) {
    box->show();
    if (QAbstractButton* b = buttons->button(style)) b->setChecked(true);
  };
  if (auto* line = element<TZdqLine>()) show(gbLineStyle, bgLine, int(line->LineType()));
  if (auto* rect = element<TZdqRectangle>()) show(gbRectangle, bgRectangle, int(rect->RectangleType()));
  if (auto* ellipse = element<TZdqEllipse>()) show(gbEllipse, bgEllipse, int(ellipse->EllipseType()));
}

void TfrmShape::AfterEditProperties() {
  TfrmControl::AfterEditProperties();
  auto* shape = element<TZdqShape>();
  if (!shape) return;
  shape->SetStretch(TShapeStretch(bgStretch->checkedId()));
  shape->SetLineStyle(cbDoubleLine->isChecked() ? TLineStyle::lsDouble : TLineStyle::lsSingle);
  if (auto* line = element<TZdqLine>(); line && bgLine->checkedId() >= 0)
    line->SetLineType(TLineType(bgLine->checkedId()));
  if (auto* rect = element<TZdqRectangle>(); rect && bgRectangle->checkedId() >= 0)
    rect->SetRectangleType(TRectangleType(bgRectangle->checkedId()));
  if (auto* ellipse = element<TZdqEllipse>(); ellipse && bgEllipse->checkedId() >= 0)
    ellipse->SetEllipseType(TEllipseType(bgEllipse->checkedId()));
}

// ---- TfrmImage ----

TfrmImage::TfrmImage(QWidget* parent) : TfrmControl(parent) {
  gbSource = new QGroupBox;
  auto* source = new QGridLayout(gbSource);
  rbFile = new QRadioButton;
  rbField = new QRadioButton;
  rbPicture = new QRadioButton;
  edFileName = new QLineEdit;
  btnFileName = new QPushButton("...");
  cbField = new QComboBox;
  cbField->setEditable(true);  // any expression, not only a listed field
  btnPicture = new QPushButton("...");
  for (QPushButton* b : {btnFileName, btnPicture}) b->setFixedWidth(b->sizeHint().height());
  source->addWidget(rbFile, 0, 0);
  source->addWidget(edFileName, 0, 1);
  source->addWidget(btnFileName, 0, 2);
  source->addWidget(rbField, 1, 0);
  source->addWidget(cbField, 1, 1, 1, 2);
  source->addWidget(rbPicture, 2, 0);
  source->addWidget(btnPicture, 2, 2);
  source->setColumnStretch(1, 1);
  gbSize = new QGroupBox;
  auto* size = new QHBoxLayout(gbSize);
  cbStretchImage = new QCheckBox;
  cbCenter = new QCheckBox;
  cbAspectRatio = new QCheckBox;
  for (QCheckBox* b : {cbStretchImage, cbCenter, cbAspectRatio}) size->addWidget(b);
  gbBarCode = new QGroupBox;
  auto* barcode = new QHBoxLayout(gbBarCode);
  cbBarCodeType = new QComboBox;
  cbBarCodeType->addItems({"Code39", "Interleaved 2 of 5", "Postnet", "UPCA", "Code 128", "EAN-13", "QR Code",
                           "Data Matrix"});
  cbVertical = new QCheckBox;
  barcode->addWidget(cbBarCodeType, 1);
  barcode->addWidget(cbVertical);
  for (QGroupBox* g : {gbSource, gbSize, gbBarCode}) generalExtra_->addWidget(g);

  connect(btnFileName, &QPushButton::clicked, this, [this] {
    const QString name = QFileDialog::getOpenFileName(this, rbFile->text(), edFileName->text());
    if (!name.isEmpty()) edFileName->setText(name);
  });
  connect(btnPicture, &QPushButton::clicked, this, [this] {
    rbPicture->setChecked(true);
    ZdqChangePicture(LangShift, Picture, this);
  });
}

void TfrmImage::FillStringsFromRes() {
  TfrmControl::FillStringsFromRes();
  setWindowTitle(text(txt::ImageCaption));
  gbSource->setTitle(text(txt::SourceGroup));
  rbFile->setText(text(txt::SourceFile));
  rbField->setText(text(txt::SourceField));
  rbPicture->setText(text(txt::SourcePicture));
  gbSize->setTitle(text(txt::SizeGroup));
  cbStretchImage->setText(text(txt::StretchImage));
  cbCenter->setText(text(txt::CenterImage));
  cbAspectRatio->setText(text(txt::AspectRatio));
  gbBarCode->setTitle(text(txt::BarCodeGroup));
  cbVertical->setText(text(txt::Vertical));
}

void TfrmImage::BeforeEditProperties() {
  TfrmControl::BeforeEditProperties();
  cbField->addItems(DatasetFields(report()));
  auto* image = element<TZdqImage>();
  gbSize->setVisible(image != nullptr);
  rbPicture->setVisible(image != nullptr);
  btnPicture->setVisible(image != nullptr);
  gbBarCode->setVisible(element<TZdBarCode>() != nullptr);
  if (image) {
    TypeControl = TfrmTypeControl::tcImage;
    (image->ImageKind() == TZdqImageKind::ikFile    ? rbFile
     : image->ImageKind() == TZdqImageKind::ikField ? rbField
                                                    : rbPicture)->setChecked(true);
    edFileName->setText(Qs(image->FileName()));
    SelectOrAdd(cbField, Qs(image->Expression()));
    Picture = image->Picture();
    cbStretchImage->setChecked(image->Stretch());
    cbCenter->setChecked(image->Center());
    cbAspectRatio->setChecked(image->AspectRatio());
  } else if (auto* rich = element<TZdRichText>()) {
    TypeControl = TfrmTypeControl::tcRichText;
    (rich->Expression().empty() ? rbFile : rbField)->setChecked(true);
    edFileName->setText(Qs(rich->FileName()));
    SelectOrAdd(cbField, Qs(rich->Expression()));
  } else if (auto* barcode = element<TZdBarCode>()) {
    TypeControl = TfrmTypeControl::tcBarCode;
    btnFileName->hide();
    cbBarCodeType->setCurrentIndex(int(barcode->BarCodeType()));
    cbVertical->setChecked(barcode->Vertical());
    (barcode->Expression().empty() ? rbFile : rbField)->setChecked(true);
    edFileName->setText(Qs(barcode->Value()));
    SelectOrAdd(cbField, Qs(barcode->Expression()));
  }
}

void TfrmImage::AfterEditProperties() {
  TfrmControl::AfterEditProperties();
  const std::string fileText = edFileName->text().toStdString();
  const std::string field = cbField->currentText().toStdString();
  if (auto* image = element<TZdqImage>()) {
    // The chosen source is what the image prints from, so it is kept too.
    if (rbFile->isChecked()) {
      image->SetFileName(fileText);
      image->SetImageKind(TZdqImageKind::ikFile);
    } else if (rbField->isChecked()) {
      image->SetExpression(field);
      image->SetImageKind(TZdqImageKind::ikField);
    } else {
      image->SetPicture(Picture);
      image->SetImageKind(TZdqImageKind::ikPicture);
    }
    image->SetStretch(cbStretchImage->isChecked());
    image->SetCenter(cbCenter->isChecked());
    image->SetAspectRatio(cbAspectRatio->isChecked());
  } else if (auto* rich = element<TZdRichText>()) {
    rich->SetFileName(fileText);
    rich->SetExpression(rbField->isChecked() ? field : std::string());
  } else if (auto* barcode = element<TZdBarCode>()) {
    barcode->SetBarCodeType(TBarCodeType(cbBarCodeType->currentIndex()));
    barcode->SetVertical(cbVertical->isChecked());
    barcode->SetValue(rbFile->isChecked() ? fileText : std::string());
    barcode->SetExpression(rbFile->isChecked() ? std::string() : field);
  }
}

// ---- TfrmZdqBand ----

TfrmZdqBand::TfrmZdqBand(QWidget* parent) : TfrmControl(parent) {
  auto* form = new QFormLayout;
  lblBandType = new QLabel;
  cbBandType = new QComboBox;
  cbStretch = new QCheckBox;
  lblOutline = new QLabel;
  edOutline = new TExpressionEdit;
  lblExpression = new QLabel;
  cbExpression = new QComboBox;
  cbExpression->setEditable(true);  // a group expression need not be a field
  btnExpression = new QPushButton("...");
  btnExpression->setFixedWidth(btnExpression->sizeHint().height());
  auto* expressionRow = new QHBoxLayout;
  expressionRow->addWidget(cbExpression, 1);
  expressionRow->addWidget(btnExpression);
  lblDataset = new QLabel;
  cbDataset = new QComboBox;
  cbDataset->installEventFilter(this);
  form->addRow(lblBandType, cbBandType);
  form->addRow(cbStretch);
  form->addRow(lblOutline, edOutline);
  form->addRow(lblExpression, expressionRow);
  form->addRow(lblDataset, cbDataset);
  generalExtra_->addLayout(form);
  connect(cbBandType, &QComboBox::currentIndexChanged, this, [this] { showTypeFields(); });
  connect(btnExpression, &QPushButton::clicked, this, [this] { buildExpression(); });
}

void TfrmZdqBand::FillStringsFromRes() {
  TfrmControl::FillStringsFromRes();
  setWindowTitle(text(txt::BandCaption));
  lblBandType->setText(text(txt::BandTypeLabel));
  const int current = cbBandType->currentIndex();
  const QSignalBlocker quiet(cbBandType);
  cbBandType->clear();
  for (int type = int(TBandType::btReportTitle); type <= int(TBandType::btSubDetail); ++type)
    cbBandType->addItem(text(txt::BandTypeNames + type));
  cbBandType->setCurrentIndex(current);
  cbStretch->setText(text(txt::Stretch));
  lblOutline->setText(text(txt::OutlineLabel));
  lblExpression->setText(text(txt::ExpressionLabel));
  lblDataset->setText(text(txt::DatasetLabel));
}

void TfrmZdqBand::BeforeEditProperties() {
  TfrmControl::BeforeEditProperties();
  auto* band = element<TZdqBand>();
  if (!band) return;
  TypeControl = TfrmTypeControl::tcBand;
  FillStringsFromRes();  // the type list, so that the type can be selected
  cbBandType->setCurrentIndex(int(band->BandType()) - 1);
  cbStretch->setChecked(band->Stretch());
  edOutline->SetReport(report());
  edOutline->SetExpression(band->OutlineExpression());
  const QStringList fields = DatasetFields(report());
  const QString expression = Qs(band->Expression());
  cbExpression->addItem(fields.contains(expression) ? QString() : expression);
  cbExpression->addItems(fields);
  cbExpression->setCurrentIndex(fields.contains(expression) ? int(fields.indexOf(expression)) + 1 : 0);
  if (TZdReport* r = report()) {
    const TZdqDatasets& datasets = r->GetDataManager().Datasets();
    for (int i = 0; i < datasets.Count(); ++i) {
      TDataSet* d = datasets[i]->Dataset();
      cbDataset->addItem(d ? Qs(d->Name()) : Qs(datasets[i]->Caption()), QVariant::fromValue(static_cast<void*>(d)));
    }
    initialDataset_ = cbDataset->findData(QVariant::fromValue(static_cast<void*>(band->Dataset())));
    cbDataset->setCurrentIndex(initialDataset_);
  }
  showTypeFields();
}

void TfrmZdqBand::AfterEditProperties() {
  TfrmControl::AfterEditProperties();
  auto* band = element<TZdqBand>();
  if (!band) return;
  band->SetExpression(cbExpression->currentText().toStdString());
  band->SetStretch(cbStretch->isChecked());
  band->SetOutlineExpression(edOutline->Expression());
  const auto type = TBandType(cbBandType->currentIndex() + 1);
  const bool typeChanged = type != band->BandType();
  if (typeChanged) band->SetBandType(type);
  // Left alone unless chosen: an unset dataset reads as the report's.
  if (type == TBandType::btSubDetail && cbDataset->currentIndex() != initialDataset_)
    band->SetDataset(static_cast<TDataSet*>(cbDataset->currentData().value<void*>()));
  if (typeChanged)
    if (TZdReport* r = report()) r->BandReOrder();
  UpdateDesigner(*band, kMsgBandChanged, band->GetBandIndex(), 0);
}

void TfrmZdqBand::showTypeFields() {
  const auto type = TBandType(cbBandType->currentIndex() + 1);
  const bool group = type == TBandType::btGroupHeader || type == TBandType::btGroupFooter;
  lblExpression->setVisible(group);
  cbExpression->setVisible(group);
  btnExpression->setVisible(group);
  lblDataset->setVisible(type == TBandType::btSubDetail);
  cbDataset->setVisible(type == TBandType::btSubDetail);
}

// A field the builder returns is chosen from the list; anything else goes
// into the first entry, which holds what is not a field.
void TfrmZdqBand::buildExpression() {
  TZdReport* r = report();
  std::string expression = cbExpression->currentText().toStdString();
  if (!r || !ExpressionBuilder(expression, *r, this)) return;
  const int field = cbExpression->findText(Qs(expression));
  if (field > 0) {
    cbExpression->setItemText(0, QString());
    cbExpression->setCurrentIndex(field);
  } else {
    cbExpression->setItemText(0, Qs(expression));
    cbExpression->setCurrentIndex(0);
  }
}

bool TfrmZdqBand::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cbDataset && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    cbDataset->setCurrentIndex(-1);
    return true;
  }
  return TfrmControl::eventFilter(watched, event);
}

namespace {

constexpr int kPenStyleCount = int(TPenStyle::psInsideFrame) + 1;

// Each row: a sample line in its pen style, then its name.
class TPenStyleDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    constexpr int kSampleWidth = 60;
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const bool selected = item.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorRole text = selected ? QPalette::HighlightedText : QPalette::Text;
    painter->fillRect(item.rect, item.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    const QRect r = item.rect;
    {
      TPainterCanvas canvas(*painter);
      canvas.Pen = {FromQColor(item.palette.color(text)), 1, TPenStyle(index.row())};
      const int middle = r.top() + r.height() / 2;
      canvas.MoveTo(r.left() + 2, middle);
      canvas.LineTo(r.left() + kSampleWidth, middle);
    }
    painter->setPen(item.palette.color(text));
    const int textLeft = r.left() + kSampleWidth + 6;
    painter->drawText(QRect(textLeft, r.top(), r.right() - textLeft, r.height()),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, item.text);
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QStyledItemDelegate::sizeHint(option, index) + QSize(66, 6);  // room for the sample line
  }
};

int DigitsValue(const QLineEdit* edit) { return edit->text().toInt(); }

}  // namespace

// ---- TfrmPenStyle ----

TfrmPenStyle::TfrmPenStyle(QWidget* parent) : QDialog(parent) {
  auto* layout = new QVBoxLayout(this);
  auto* thickness = new QFormLayout;
  lblThickness = new QLabel;
  edThickness = DigitsEdit();
  lblThickness->setBuddy(edThickness);
  thickness->addRow(lblThickness, edThickness);
  layout->addLayout(thickness);
  lbPenStyle = new QListWidget;
  lbPenStyle->setItemDelegate(new TPenStyleDelegate(lbPenStyle));
  for (int i = 0; i < kPenStyleCount; ++i) lbPenStyle->addItem(QString());
  lbPenStyle->setCurrentRow(0);
  // Every style in sight without scrolling.
  lbPenStyle->setMinimumHeight(lbPenStyle->sizeHintForRow(0) * kPenStyleCount + 2 * lbPenStyle->frameWidth());
  layout->addWidget(lbPenStyle, 1);
  layout->addWidget(OkCancel(*this, btnOk, btnCancel));
  connect(lbPenStyle, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

void TfrmPenStyle::FillStringsFromRes() {
  auto t = [this](int id) { return Qs(GetString(LangShift, id)); };
  setWindowTitle(t(txt::PenStyleCaption));
  lblThickness->setText(t(txt::ThicknessLabel));
  for (int i = 0; i < kPenStyleCount; ++i) lbPenStyle->item(i)->setText(t(txt::PenStyleNames + i));
  btnOk->setText(t(txt::OK));
  btnCancel->setText(t(txt::Cancel));
}

void TfrmPenStyle::SetPen(int thickness, TPenStyle style) {
  edThickness->setText(QString::number(thickness));
  lbPenStyle->setCurrentRow(int(style));
}

int TfrmPenStyle::Thickness() const { return DigitsValue(edThickness); }

TPenStyle TfrmPenStyle::PenStyle() const { return TPenStyle(std::max(lbPenStyle->currentRow(), 0)); }

// ---- TfrmControlSizes ----

TfrmControlSizes::TfrmControlSizes(QWidget* parent) : QDialog(parent) {
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  QLabel** labels[] = {&lblTop, &lblLeft, &lblWidth, &lblHeight};
  QLineEdit** edits[] = {&edTop, &edLeft, &edWidth, &edHeight};
  for (int i = 0; i < 4; ++i) {
    *labels[i] = new QLabel;
    *edits[i] = DigitsEdit();
    (*labels[i])->setBuddy(*edits[i]);
    form->addRow(*labels[i], *edits[i]);
  }
  layout->addLayout(form);
  layout->addWidget(OkCancel(*this, btnOk, btnCancel));
}

void TfrmControlSizes::FillStringsFromRes() {
  auto t = [this](int id) { return Qs(GetString(LangShift, id)); };
  setWindowTitle(t(txt::ControlSizesCaption));
  int id = txt::SizesTop;
  for (QLabel* label : {lblTop, lblLeft, lblWidth, lblHeight}) label->setText(t(id++));
  btnOk->setText(t(txt::OK));
  btnCancel->setText(t(txt::Cancel));
}

void TfrmControlSizes::SetSizes(const TControlBounds& bounds) {
  edTop->setText(QString::number(bounds.Top));
  edLeft->setText(QString::number(bounds.Left));
  edWidth->setText(QString::number(bounds.Width));
  edHeight->setText(QString::number(bounds.Height));
}

TControlBounds TfrmControlSizes::Sizes() const {
  return {DigitsValue(edLeft), DigitsValue(edTop), DigitsValue(edWidth), DigitsValue(edHeight)};
}

}  // namespace zd
