#include "preview/ZdqPreview.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "export/ExportRegistry.h"
#include "preview/Lens.h"
#include "preview/PreviewIcons.h"
#include "print/Language.h"
#include "print/PreparedReport.h"
#include "print/PrintZd.h"
#include "print/TextIds.h"

namespace zd {

namespace {

constexpr int kScaleZooms[] = {500, 400, 200, 150, 100, 75, 50, 25, 10};

// The exporters the save command offers besides the prepared-report format;
// each caption carries its file pattern, so the file dialog can filter by it.
std::vector<TExportFormat> SaveFormats(int languageShift) {
  std::vector<TExportFormat> formats;
  const TZdqTextLookup text = [&](int id) { return GetString(languageShift, id); };
  for (const TZdqRegisterExport& entry : ZdqExports())
    formats.push_back({ExportDescription(entry, text) + " (*." + entry.FileExtension + ")", entry.ExportClassName,
                       entry.ExportClass});
  return formats;
}

}  // namespace

TfrmZdPreview::TfrmZdPreview(QWidget* parentControl) : QDialog(parentControl) {
  isEmbeddedForm_ = parentControl != nullptr;
  ZdqPreview = new TZdqPreview;
  auto* toolBar = new QToolBar;
  toolBar->setIconSize(QSize(24, 24));
  BuildToolBar(*toolBar);
  tsSheets = new QTabBar;
  tsSheets->setShape(QTabBar::RoundedSouth);
  tsSheets->setDrawBase(false);
  tsSheets->hide();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(toolBar);
  layout->addWidget(ZdqPreview, 1);
  layout->addWidget(tsSheets, 0, Qt::AlignLeft);
  layout->addWidget(BuildStatusBar());

  ZdqPreview->ZoomChangeEvent = [this] { ZoomChanged(); };
  ZdqPreview->PageNumberChangeEvent = [this] { PageChanged(); };
  ZdqPreview->BarNumberChangeEvent = [this] { BarChanged(); };
  connect(tsSheets, &QTabBar::currentChanged, this, [this](int index) {
    if (index >= 0) ZdqPreview->SetBarNumber(index + 1);
  });

  setWindowIcon(ToolIcon(TToolIcon::OnePage));
  if (isEmbeddedForm_) {
    setWindowFlags(Qt::Widget);
    setAttribute(Qt::WA_DeleteOnClose);
    btnClose->hide();
    btnClose->setEnabled(false);
    if (QLayout* host = parentControl->layout()) host->addWidget(this);
    else setGeometry(parentControl->rect());
    parentControl->installEventFilter(this);
  } else {
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(900, 700);
  }
  qApp->installEventFilter(this);
  RefreshCaptions();
  cbScale->setCurrentIndex(siFitWidth);
}

TfrmZdPreview::~TfrmZdPreview() { qApp->removeEventFilter(this); }

QString TfrmZdPreview::Text(int id) const {
  const int shift = GetReport() ? GetReport()->GetLanguageShift() : 0;
  return QString::fromStdString(GetString(shift, id));
}

QToolButton* TfrmZdPreview::ToolButton(const QIcon& icon, int hint, bool checkable) {
  auto* button = new QToolButton;
  button->setIcon(icon);
  button->setCheckable(checkable);
  button->setAutoRaise(true);
  button->setProperty("hintId", hint);
  return button;
}

void TfrmZdPreview::BuildToolBar(QToolBar& bar) {
  QStyle* s = style();
  btnPrint = ToolButton(ToolIcon(TToolIcon::Print), txt::HintPrint);
  btnOpenFromFile = ToolButton(s->standardIcon(QStyle::SP_DialogOpenButton), txt::HintOpen);
  btnSaveToFile = ToolButton(s->standardIcon(QStyle::SP_DialogSaveButton), txt::HintSave);
  btnFindText = ToolButton(ToolIcon(TToolIcon::Find), txt::FindText);
  btnOnePage = ToolButton(ToolIcon(TToolIcon::OnePage), txt::HintOnePage, true);
  btnZoomTo100 = ToolButton(ToolIcon(TToolIcon::ZoomTo100), txt::HintZoomTo100, true);
  btnZoomToWidth = ToolButton(ToolIcon(TToolIcon::ZoomToWidth), txt::HintZoomToWidth, true);
  btnManyPages = ToolButton(ToolIcon(TToolIcon::ManyPages), txt::HintManyPages, true);
  btnManyPages->setEnabled(false);  // one page is shown at a time
  cbScale = new QComboBox;
  cbScale->setProperty("hintId", txt::HintScale);
  cbScale->setMinimumContentsLength(14);
  for (int i = 0; i <= siCustom; ++i) cbScale->addItem(QString());
  btnThumbnails = ToolButton(ToolIcon(TToolIcon::Thumbnails), txt::HintThumbnails, true);
  btnOutlines = ToolButton(ToolIcon(TToolIcon::Outlines), txt::HintOutlines, true);
  btnZoomIn = ToolButton(ToolIcon(TToolIcon::ZoomIn), txt::HintZoomIn, true);
  btnZoomOut = ToolButton(ToolIcon(TToolIcon::ZoomOut), txt::HintZoomOut, true);
  btnLens = ToolButton(ToolIcon(TToolIcon::Lens), txt::HintLens, true);
  btnRuler = ToolButton(ToolIcon(TToolIcon::Margins), txt::HintMargins, true);
  btnGrid = ToolButton(ToolIcon(TToolIcon::Grid), txt::HintGrid, true);
  btnAbout = ToolButton(s->standardIcon(QStyle::SP_MessageBoxInformation), txt::HintAbout);
  btnClose = ToolButton(s->standardIcon(QStyle::SP_DialogCloseButton), txt::HintClose);
  for (QWidget* w : std::initializer_list<QWidget*>{btnPrint, btnOpenFromFile, btnSaveToFile, btnFindText})
    bar.addWidget(w);
  bar.addSeparator();
  for (QWidget* w : std::initializer_list<QWidget*>{btnOnePage, btnZoomTo100, btnZoomToWidth, btnManyPages, cbScale})
    bar.addWidget(w);
  bar.addSeparator();
  for (QWidget* w : std::initializer_list<QWidget*>{btnThumbnails, btnOutlines, btnZoomIn, btnZoomOut, btnLens,
                                                    btnRuler, btnGrid})
    bar.addWidget(w);
  bar.addSeparator();
  bar.addWidget(btnAbout);
  bar.addWidget(btnClose);

  connect(btnPrint, &QToolButton::clicked, this, [this] { PrintReport(); });
  connect(btnOpenFromFile, &QToolButton::clicked, this, [this] { OpenFromFile(); });
  connect(btnSaveToFile, &QToolButton::clicked, this, [this] { SaveToFile(); });
  connect(btnFindText, &QToolButton::clicked, this, [this] { ZdqPreview->FindText(); });
  connect(btnOnePage, &QToolButton::clicked, this, [this] { ApplyScaleItem(siFitPage); });
  connect(btnZoomTo100, &QToolButton::clicked, this, [this] { ApplyScaleItem(si100); });
  connect(btnZoomToWidth, &QToolButton::clicked, this, [this] { ApplyScaleItem(siFitWidth); });
  connect(cbScale, &QComboBox::activated, this, [this](int item) { ApplyScaleItem(item); });
  connect(btnThumbnails, &QToolButton::toggled, this, [this](bool on) {
    ZdqPreview->SetShowThumbnails(on);
    btnThumbnails->setChecked(ZdqPreview->ShowThumbnails());
  });
  connect(btnOutlines, &QToolButton::toggled, this, [this](bool on) {
    ZdqPreview->SetShowOutlines(on);
    btnOutlines->setChecked(ZdqPreview->ShowOutlines());
  });
  connect(btnZoomIn, &QToolButton::clicked, this, [this] { ZoomByClickChanged(btnZoomIn); });
  connect(btnZoomOut, &QToolButton::clicked, this, [this] { ZoomByClickChanged(btnZoomOut); });
  connect(btnLens, &QToolButton::clicked, this, [this](bool on) { ShowLens(on); });
  connect(btnRuler, &QToolButton::toggled, this, [this](bool on) { ZdqPreview->SetShowMargins(on); });
  connect(btnGrid, &QToolButton::toggled, this, [this](bool on) { ZdqPreview->SetShowGrid(on); });
  connect(btnAbout, &QToolButton::clicked, this, [this] {
    const std::string version = GetReport() ? GetReport()->ProductVersion : Text(txt::ProductVersion).toStdString();
    QMessageBox::about(this, Text(txt::HintAbout),
                       QString::fromStdString(version) + "\nA banded report generator on Qt " + qVersion());
  });
  connect(btnClose, &QToolButton::clicked, this, [this] { close(); });
}

QWidget* TfrmZdPreview::BuildStatusBar() {
  auto* pnlStatus = new QWidget;
  auto* row = new QHBoxLayout(pnlStatus);
  row->setContentsMargins(4, 2, 4, 2);
  QStyle* s = style();
  btnFirstPage = ToolButton(s->standardIcon(QStyle::SP_MediaSkipBackward), txt::HintFirstPage);
  btnPrevPage = ToolButton(s->standardIcon(QStyle::SP_MediaSeekBackward), txt::HintPrevPage);
  btnNextPage = ToolButton(s->standardIcon(QStyle::SP_MediaSeekForward), txt::HintNextPage);
  btnLastPage = ToolButton(s->standardIcon(QStyle::SP_MediaSkipForward), txt::HintLastPage);
  lblPage_ = new QLabel;
  edNumPage = new QLineEdit;
  edNumPage->setMaximumWidth(60);
  lblNumPages = new QLabel;
  for (QWidget* w : std::initializer_list<QWidget*>{btnFirstPage, btnPrevPage, btnNextPage, btnLastPage, lblPage_,
                                                    edNumPage, lblNumPages})
    row->addWidget(w);
  row->addStretch(1);
  connect(btnFirstPage, &QToolButton::clicked, this, [this] { FirstPage(); });
  connect(btnPrevPage, &QToolButton::clicked, this, [this] { PrevPage(); });
  connect(btnNextPage, &QToolButton::clicked, this, [this] { NextPage(); });
  connect(btnLastPage, &QToolButton::clicked, this, [this] { LastPage(); });
  connect(edNumPage, &QLineEdit::editingFinished, this, [this] { ApplyPageBox(); });
  return pnlStatus;
}

void TfrmZdPreview::RefreshCaptions() {
  QString caption = Text(txt::PreviewCaption);
  if (GetReport() && !GetReport()->ZdProperty().Title.empty())
    caption += " / " + QString::fromStdString(GetReport()->ZdProperty().Title);
  setWindowTitle(caption);
  for (QWidget* w : findChildren<QWidget*>()) {
    const QVariant hint = w->property("hintId");
    if (hint.isValid()) w->setToolTip(Text(hint.toInt()));
  }
  const char* percents[] = {"500%", "400%", "200%", "150%", "100%", "75%", "50%", "25%", "10%"};
  for (int i = 0; i < si10 + 1; ++i) cbScale->setItemText(i, percents[i]);
  cbScale->setItemText(siFitWidth, Text(txt::ScaleFitWidth));
  cbScale->setItemText(siFitPage, Text(txt::ScaleFitPage));
  cbScale->setItemText(siCustom, Text(txt::ScaleCustom));
  lblPage_->setText(Text(txt::PageNumberLabel));
  lblNumPages->setText(Text(txt::PageCountPrefix) + QString::number(GetReport() ? GetReport()->GetNumPages() : 0));
}

void TfrmZdPreview::SetReport(TZdPrintBaseComponent* report) {
  ZdqPreview->SetReport(report);
  ZdqPreview->SetEnableOutlines(report && report->Outlines().Count() > 0);
  btnOutlines->setEnabled(ZdqPreview->EnableOutlines());
  if (isVisible()) Activate();
  else activated_ = false;
}

void TfrmZdPreview::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!activated_) Activate();
}

// What the window shows each time it gets a component: the first page and
// bar at the width of the window, the counts and the sheet tabs.
void TfrmZdPreview::Activate() {
  activated_ = true;
  RefreshCaptions();
  ZdqPreview->SetPageNumber(1);
  ZdqPreview->SetBarNumber(1);
  FillSheets();
  ApplyScaleItem(siFitWidth);
  PageChanged();
  ZoomChanged();
}

void TfrmZdPreview::FillSheets() {
  const QSignalBlocker quiet(tsSheets);
  while (tsSheets->count() > 0) tsSheets->removeTab(0);
  const int bars = GetReport() ? GetReport()->GetNumBars() : 0;
  if (bars >= 2)
    for (int b = 1; b <= bars; ++b) tsSheets->addTab(Text(txt::Sheet) + " " + QString::number(b));
  tsSheets->setCurrentIndex(ZdqPreview->BarNumber() - 1);
  tsSheets->setVisible(bars >= 2);
}

void TfrmZdPreview::ApplyScaleItem(int item) {
  if (item >= si500 && item <= si10) coefScale_ = kScaleZooms[item];
  else if (item == siFitWidth) coefScale_ = ZdqPreview->GetZoomFitToWidth();
  else if (item == siFitPage) coefScale_ = ZdqPreview->GetZoomFitToPage();
  ZdqPreview->SetZoom(coefScale_);
  ZoomChanged();  // the buttons follow even when the zoom stayed
}

void TfrmZdPreview::ZoomChanged() {
  const int zoom = ZdqPreview->Zoom();
  cbScale->setToolTip(Text(txt::ScaleLabel) + QString::number(zoom) + "%");
  for (QToolButton* b : {btnOnePage, btnZoomTo100, btnZoomToWidth}) b->setChecked(false);
  int item = siCustom;
  for (int i = si500; i <= si10; ++i)
    if (kScaleZooms[i] == zoom) item = i;
  if (item == siCustom && zoom == ZdqPreview->GetZoomFitToWidth()) item = siFitWidth;
  else if (item == siCustom && zoom == ZdqPreview->GetZoomFitToPage()) item = siFitPage;
  if (item == si100) btnZoomTo100->setChecked(true);
  if (item == siFitWidth) btnZoomToWidth->setChecked(true);
  if (item == siFitPage) btnOnePage->setChecked(true);
  const QSignalBlocker quiet(cbScale);
  cbScale->setCurrentIndex(item);
}

void TfrmZdPreview::PageChanged() {
  const int index = ZdqPreview->PageNumber() - 1;
  const int count = GetReport() ? GetReport()->GetNumPages() : 0;
  btnPrevPage->setEnabled(index > 0);
  btnNextPage->setEnabled(index < count - 1);
  edNumPage->setText(QString::number(index + 1));
}

void TfrmZdPreview::BarChanged() {
  const QSignalBlocker quiet(tsSheets);
  tsSheets->setCurrentIndex(ZdqPreview->BarNumber() - 1);
}

void TfrmZdPreview::ZoomByClickChanged(QToolButton* pressed) {
  QToolButton* other = pressed == btnZoomIn ? btnZoomOut : btnZoomIn;
  if (pressed->isChecked()) other->setChecked(false);
  ZdqPreview->SetZoomByClick(btnZoomIn->isChecked() ? zcInc : btnZoomOut->isChecked() ? zcDec : zcNone);
}

void TfrmZdPreview::ShowLens(bool on) {
  if (!frmLens) {
    frmLens = new TfrmZdqLens(*ZdqPreview, GetReport() ? GetReport()->GetLanguageShift() : 0, this);
    frmLens->OnVisibilityChanged = [this](bool visible) {
      btnLens->setChecked(visible);
      ZdqPreview->viewport()->setMouseTracking(visible);
    };
    const QPoint corner = ZdqPreview->mapToGlobal(QPoint(ZdqPreview->width(), ZdqPreview->height()));
    frmLens->move(corner - QPoint(frmLens->width() + 20, frmLens->height() + 20));
  }
  frmLens->setVisible(on);
}

void TfrmZdPreview::ShowPage(int pageIndex) { ZdqPreview->SetPageNumber(pageIndex + 1); }

void TfrmZdPreview::PrevPage() { ShowPage(ZdqPreview->PageNumber() - 2); }

void TfrmZdPreview::NextPage() { ShowPage(ZdqPreview->PageNumber()); }

void TfrmZdPreview::LastPage() {
  if (GetReport()) ShowPage(GetReport()->GetNumPages() - 1);
}

void TfrmZdPreview::ApplyPageBox() {
  bool isNumber = false;
  const int page = edNumPage->text().trimmed().toInt(&isNumber);
  if (isNumber) ZdqPreview->SetPageNumber(page);
  // A number the viewer refused gives way to the page shown.
  edNumPage->setText(QString::number(ZdqPreview->PageNumber()));
}

void TfrmZdPreview::PrintReport() {
  if (!GetReport()) return;
  try {
    GetReport()->Print();
  } catch (const std::exception& e) {
    QMessageBox::warning(this, Text(txt::ErrorCaption), QString::fromStdString(e.what()));
  }
}

void TfrmZdPreview::OpenFromFile() {
  if (!GetReport()) return;
  QFileDialog dialog(this, Text(txt::HintOpen), QString::fromStdString(strLatestFileName));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix("zqp");
  const QString allFiles = Text(exporttext::AllFilesFilter).section('|', 0, 0).replace("*.*", "*");
  dialog.setNameFilters({Text(txt::PreparedReportFormat) + " (*.zqp)", allFiles});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string fileName = dialog.selectedFiles().first().toStdString();
  try {
    GetReport()->LoadPreparedReport(fileName);
  } catch (const std::exception& e) {
    QMessageBox::warning(this, Text(txt::ErrorCaption), QString::fromStdString(e.what()));
    return;
  }
  strLatestFileName = fileName;
  const int zoom = ZdqPreview->Zoom();
  SetReport(GetReport());
  ZdqPreview->SetZoom(zoom);
  ZoomChanged();
}

void TfrmZdPreview::SaveToFile() {
  TZdPrintBaseComponent* report = GetReport();
  if (!report) return;
  std::string fileName = strLatestFileName.empty() ? report->ZdProperty().Title : strLatestFileName;
  try {
    if (report->SavePageToFile(fileName, SaveFormats(report->GetLanguageShift()))) strLatestFileName = fileName;
  } catch (const std::exception& e) {
    QMessageBox::warning(this, Text(txt::ErrorCaption), QString::fromStdString(e.what()));
  }
}

bool TfrmZdPreview::HandleKey(QKeyEvent& key) {
  const bool ctrl = key.modifiers() & Qt::ControlModifier;
  switch (key.key()) {
    case Qt::Key_Escape: close(); return true;
    case Qt::Key_PageUp: PrevPage(); return true;
    case Qt::Key_PageDown: NextPage(); return true;
    case Qt::Key_Home: FirstPage(); return true;
    case Qt::Key_End: LastPage(); return true;
    case Qt::Key_F3: ZdqPreview->FindNext(); return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
      // The page box still takes them to move its cursor.
      return QApplication::focusWidget() != edNumPage;
    case Qt::Key_O: if (ctrl) OpenFromFile(); return ctrl;
    case Qt::Key_P: if (ctrl) PrintReport(); return ctrl;
    case Qt::Key_S: if (ctrl) SaveToFile(); return ctrl;
    default: return false;
  }
}

bool TfrmZdPreview::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    if (watched == parentWidget() && !parentWidget()->layout()) setGeometry(parentWidget()->rect());
    // A fitted zoom keeps fitting, also when scroll bars come or go.
    const int item = cbScale->currentIndex();
    if (watched == ZdqPreview->viewport() && (item == siFitWidth || item == siFitPage)) ApplyScaleItem(item);
    return false;
  }
  if (event->type() == QEvent::MouseMove && frmLens && frmLens->isVisible() && watched == ZdqPreview->viewport()) {
    frmLens->ShowAround(static_cast<QMouseEvent*>(event)->position().toPoint());
    return false;
  }
  // The window sees keys before its controls; other windows (a dialog it
  // opened) keep theirs.
  if (event->type() != QEvent::KeyPress) return false;
  auto* widget = dynamic_cast<QWidget*>(watched);
  if (!widget || (widget != this && !isAncestorOf(widget))) return false;
  return HandleKey(static_cast<QKeyEvent&>(*event));
}

}  // namespace zd
