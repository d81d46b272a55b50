#include "designer/ReportSettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "designer/DialogButtons.h"
#include "designer/controls/ColorButton.h"
#include "designer/controls/ControlColors.h"
#include "designer/controls/ZdColorsCombo.h"
#include "designer/controls/ZdFontCombos.h"
#include "designer/controls/ZdNumberEdit.h"
#include "designer/DesignerText.h"
#include "expr/StrUtils.h"
#include "host/printing/Printer.h"
#include "print/Language.h"
#include "print/TextIds.h"
#include "report/model/ZdReport.h"
#include "report/model/ZdqBase.h"

namespace zd {

namespace {

enum : int {
  kCaption = 1500, kCommon, kBands, kPageSetup, kOther, kTitle, kAuthor, kSubject, kKeywords, kComments,
  kIncludeTitle, kOnNewPage, kIncludeSummary, kIncludePageHeader, kOnFirstPage, kIncludePageFooter, kOnLastPage,
  kPrinter, kPaperSize, kPaperSource, kPageFrame, kBackground, kDefaultPrinter, kSpecifiedPrinter, kPaperSizeLabel,
  kWidth, kHeight, kTenthsMm, kOrientation, kDefault, kPortrait, kLandscape, kDefaultMargins, kLeft, kTop, kRight,
  kBottom, kDuplex, kNone, kHorizontal, kVertical, kSideTop, kSideBottom, kSideLeft, kSideRight, kColor,
  kImageType, kFirstImageType,  // "Center image" ... "in corners" follow
  kPageNumbering = kFirstImageType + 5, kStartAt, kCountBy, kDefaultFont, kBarsAndColumns, kBarsNumber,
  kColumnSpace, kColumnsNumber, kTwoPass, kPreview, kPaperBin, kBold, kItalic, kUnderline,
};

constexpr int kPaperCount = int(TZdqPaperSize::psCustom) + 1;
constexpr int kCustomPaper = int(TZdqPaperSize::psCustom);
constexpr int kBinCount = int(TZdqBin::sbLast) + 1;

// The bands the Bands page includes, in the order of TfrmReportSet::bands.
constexpr TBandType kChoiceBands[] = {TBandType::btReportTitle, TBandType::btReportSummary,
                                      TBandType::btPageHeader, TBandType::btPageFooter};

TZdNumberEdit* digitsEdit(QWidget* parent) {
  auto* edit = new TZdNumberEdit(parent);
  edit->SetIntegerOnly(true);
  edit->SetMinValue(0);
  edit->setMaximumWidth(80);
  return edit;
}

int intOf(const QLineEdit* edit, int otherwise) { return StrToIntDef(edit->text().trimmed().toStdString(), otherwise); }

QString decimal(int n) { return QString::number(n); }

// A sheet of paper, plain or turned, for the orientation buttons.
QPixmap orientationPicture(TZdqPrinterOrientation orientation) {
  QPixmap picture(48, 48);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  const bool landscape = orientation == TZdqPrinterOrientation::spoLandscape;
  const QRect sheet = landscape ? QRect(4, 12, 40, 28) : QRect(12, 4, 28, 40);
  p.drawRect(sheet);
  QFont font = p.font();
  font.setPixelSize(16);
  font.setBold(true);
  p.setFont(font);
  p.drawText(sheet, Qt::AlignCenter, orientation == TZdqPrinterOrientation::spoDefault ? "?" : "A");
  return picture;
}

}  // namespace

// The page in small: paper, margins, frame and background.
class TPageSketch : public QWidget {
 public:
  struct TSheet {
    int Width = 2100, Height = 2970;  // tenths of a millimetre
    std::array<int, 4> Margins{};     // left, top, right, bottom
    std::array<bool, 4> Sides{};      // top, bottom, left, right
    TColor FrameColor = clBlack, BackColor = clWhite;
  };
  using QWidget::QWidget;
  QSize sizeHint() const override { return {160, 180}; }
  void Show(const TSheet& sheet) {
    sheet_ = sheet;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect room = rect().adjusted(8, 8, -8, -8);
    const double w = std::max(sheet_.Width, 1), h = std::max(sheet_.Height, 1);
    const double scale = std::min(room.width() / w, room.height() / h);
    QRect paper(0, 0, int(w * scale), int(h * scale));
    paper.moveCenter(room.center());
    p.fillRect(paper.translated(3, 3), Qt::darkGray);
    p.fillRect(paper, ScreenColor(sheet_.BackColor));
    p.setPen(Qt::black);
    p.drawRect(paper);
    const QRect inner = paper.adjusted(int(sheet_.Margins[0] * scale), int(sheet_.Margins[1] * scale),
                                       -int(sheet_.Margins[2] * scale), -int(sheet_.Margins[3] * scale));
    p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
    p.drawRect(inner);
    p.setPen(QPen(ScreenColor(sheet_.FrameColor), 2));
    if (sheet_.Sides[0]) p.drawLine(inner.topLeft(), inner.topRight());
    if (sheet_.Sides[1]) p.drawLine(inner.bottomLeft(), inner.bottomRight());
    if (sheet_.Sides[2]) p.drawLine(inner.topLeft(), inner.bottomLeft());
    if (sheet_.Sides[3]) p.drawLine(inner.topRight(), inner.bottomRight());
  }

 private:
  TSheet sheet_;
};

QString TfrmReportSet::text(int id) const { return DesignerText(shift_, id); }

TfrmReportSet::TfrmReportSet(TZdReport& report, QWidget* parent)
    : QDialog(parent), shift_(report.GetLanguageShift()) {
  setWindowTitle(text(kCaption));
  Pages = new QTabWidget(this);
  Pages->addTab(commonPage(), text(kCommon));
  Pages->addTab(bandsPage(), text(kBands));
  Pages->addTab(pageSetupPage(), text(kPageSetup));
  Pages->addTab(otherPage(), text(kOther));

  QDialogButtonBox* buttons = NewOkCancel(*this, text(txt::OK), text(txt::Cancel), &btnOK, &btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Pages);
  layout->addWidget(buttons);

  fill(report);
}

QWidget* TfrmReportSet::commonPage() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  edTitle = new QLineEdit(page);
  edAuthor = new QLineEdit(page);
  edSubject = new QLineEdit(page);
  edKeywords = new QLineEdit(page);
  mmComments = new QPlainTextEdit(page);
  form->addRow(text(kTitle), edTitle);
  form->addRow(text(kAuthor), edAuthor);
  form->addRow(text(kSubject), edSubject);
  form->addRow(text(kKeywords), edKeywords);
  form->addRow(text(kComments), mmComments);
  return page;
}

QWidget* TfrmReportSet::bandsPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  const std::pair<int, int> captions[] = {{kIncludeTitle, kOnNewPage}, {kIncludeSummary, kOnNewPage},
                                          {kIncludePageHeader, kOnFirstPage}, {kIncludePageFooter, kOnLastPage}};
  for (size_t i = 0; i < bands.size(); ++i) {
    TBandChoice& choice = bands[i];
    choice.Include = new QCheckBox(text(captions[i].first), page);
    choice.NewPage = new QCheckBox(text(captions[i].second), page);
    grid->addWidget(choice.Include, int(i), 0);
    grid->addWidget(choice.NewPage, int(i), 1);
    connect(choice.Include, &QCheckBox::toggled, choice.NewPage, &QWidget::setEnabled);
  }
  grid->setRowStretch(int(bands.size()), 1);
  grid->setColumnStretch(2, 1);
  return page;
}

QWidget* TfrmReportSet::pageSetupPage() {
  auto* page = new QWidget;
  PageSetup = new QTabWidget(page);
  PageSetup->addTab(printerPage(), text(kPrinter));
  PageSetup->addTab(paperSizePage(), text(kPaperSize));
  PageSetup->addTab(paperSourcePage(), text(kPaperSource));
  PageSetup->addTab(framePage(), text(kPageFrame));
  PageSetup->addTab(backgroundPage(), text(kBackground));
  auto* preview = new QGroupBox(text(kPreview).trimmed(), page);
  pnlPreview = new TPageSketch(preview);
  pnlPreview->setMinimumSize(150, 190);
  (new QVBoxLayout(preview))->addWidget(pnlPreview);
  auto* layout = new QHBoxLayout(page);
  layout->addWidget(PageSetup, 1);
  layout->addWidget(preview);
  return page;
}

QWidget* TfrmReportSet::printerPage() {
  auto* page = new QWidget;
  rbDefaultPrinter = new QRadioButton(text(kDefaultPrinter), page);
  rbSpecifiedPrinter = new QRadioButton(text(kSpecifiedPrinter), page);
  lbPrinters = new QListWidget(page);
  connect(rbSpecifiedPrinter, &QRadioButton::toggled, lbPrinters, &QWidget::setEnabled);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(rbDefaultPrinter);
  layout->addWidget(rbSpecifiedPrinter);
  layout->addWidget(lbPrinters);
  return page;
}

QWidget* TfrmReportSet::paperSizePage() {
  auto* page = new QWidget;
  cbPaperSize = new QComboBox(page);
  edPaperWidth = digitsEdit(page);
  edPaperHeight = digitsEdit(page);
  connect(cbPaperSize, &QComboBox::currentIndexChanged, this, [this] { paperChosen(); });
  for (TZdNumberEdit* edit : {edPaperWidth, edPaperHeight})
    connect(edit, &QLineEdit::textEdited, this, [this] { sizeTyped(); });
  auto* sizes = new QFormLayout;
  sizes->addRow(text(kPaperSizeLabel), cbPaperSize);
  sizes->addRow(text(kWidth), edPaperWidth);
  sizes->addRow(text(kHeight), edPaperHeight);
  sizes->addRow(new QLabel(text(kTenthsMm), page));

  auto* orientation = new QGroupBox(text(kOrientation).trimmed(), page);
  rbOrientDefault = new QRadioButton(text(kDefault), orientation);
  rbPortrait = new QRadioButton(text(kPortrait), orientation);
  rbLandscape = new QRadioButton(text(kLandscape), orientation);
  imgOrientation = new QLabel(orientation);
  auto* orientationLayout = new QGridLayout(orientation);
  orientationLayout->addWidget(rbOrientDefault, 0, 0);
  orientationLayout->addWidget(rbPortrait, 1, 0);
  orientationLayout->addWidget(rbLandscape, 2, 0);
  orientationLayout->addWidget(imgOrientation, 0, 1, 3, 1);
  for (QRadioButton* rb : {rbOrientDefault, rbPortrait, rbLandscape})
    connect(rb, &QRadioButton::toggled, this, [this] { orientationChosen(); });

  auto* margins = new QGroupBox(page);
  cbDefaultMargins = new QCheckBox(text(kDefaultMargins), margins);
  auto* marginForm = new QFormLayout;
  const int captions[] = {kLeft, kTop, kRight, kBottom};
  for (size_t i = 0; i < edMargins.size(); ++i) {
    edMargins[i] = digitsEdit(margins);
    marginForm->addRow(text(captions[i]), edMargins[i]);
    connect(cbDefaultMargins, &QCheckBox::toggled, edMargins[i], &QWidget::setDisabled);
    connect(edMargins[i], &QLineEdit::textChanged, this, [this] { updatePreview(); });
  }
  auto* marginLayout = new QVBoxLayout(margins);
  marginLayout->addWidget(cbDefaultMargins);
  marginLayout->addLayout(marginForm);

  auto* left = new QVBoxLayout;
  left->addLayout(sizes);
  left->addWidget(orientation);
  left->addStretch();
  auto* layout = new QHBoxLayout(page);
  layout->addLayout(left);
  layout->addWidget(margins, 0, Qt::AlignTop);
  return page;
}

QWidget* TfrmReportSet::paperSourcePage() {
  auto* page = new QWidget;
  cbBin = new QComboBox(page);
  for (int i = 0; i < kBinCount; ++i) cbBin->addItem(text(txt::BinNames + i));
  auto* duplex = new QGroupBox(text(kDuplex).trimmed(), page);
  auto* duplexLayout = new QVBoxLayout(duplex);
  const int captions[] = {kDefault, kNone, kHorizontal, kVertical};
  for (size_t i = 0; i < rbDuplex.size(); ++i) {
    rbDuplex[i] = new QRadioButton(text(captions[i]), duplex);
    duplexLayout->addWidget(rbDuplex[i]);
  }
  auto* form = new QFormLayout;
  form->addRow(text(kPaperBin), cbBin);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(form);
  layout->addWidget(duplex);
  layout->addStretch();
  return page;
}

QWidget* TfrmReportSet::framePage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  const int captions[] = {kSideTop, kSideBottom, kSideLeft, kSideRight};
  for (size_t i = 0; i < cbFrameSides.size(); ++i) {
    cbFrameSides[i] = new QCheckBox(text(captions[i]), page);
    layout->addWidget(cbFrameSides[i]);
    connect(cbFrameSides[i], &QCheckBox::toggled, this, [this] { updatePreview(); });
  }
  cbFrameColor = new TZdColorsCombo(page);
  cbFrameColor->OnChange = [this](TZdColorsCombo*) { updatePreview(); };
  auto* form = new QFormLayout;
  form->addRow(text(kColor), cbFrameColor);
  layout->addLayout(form);
  layout->addStretch();
  return page;
}

QWidget* TfrmReportSet::backgroundPage() {
  auto* page = new QWidget;
  cbBackColor = new TZdColorsCombo(page);
  cbBackColor->OnChange = [this](TZdColorsCombo*) { updatePreview(); };
  cbImageType = new QComboBox(page);
  cbImageType->addItem(text(kNone));
  for (int i = 0; i < 5; ++i) cbImageType->addItem(text(kFirstImageType + i));
  btnPicture = new QPushButton(text(txt::PictureCaption), page);
  connect(btnPicture, &QPushButton::clicked, this, [this] { choosePicture(); });
  auto* form = new QFormLayout(page);
  form->addRow(text(kColor), cbBackColor);
  form->addRow(text(kImageType), cbImageType);
  form->addRow(btnPicture);
  return page;
}

QWidget* TfrmReportSet::otherPage() {
  auto* page = new QWidget;
  auto* numbering = new QGroupBox(text(kPageNumbering).trimmed(), page);
  edStartAt = digitsEdit(numbering);
  edCountBy = digitsEdit(numbering);
  auto* numberingForm = new QFormLayout(numbering);
  numberingForm->addRow(text(kStartAt), edStartAt);
  numberingForm->addRow(text(kCountBy), edCountBy);

  auto* font = new QGroupBox(text(kDefaultFont).trimmed(), page);
  cbFontName = new TZdFontNamesCombo(font);
  cbFontSize = new TZdFontSizesCombo(font);
  cbFontName->SetFontSizesCombo(cbFontSize);
  auto styleButton = [font](const QString& caption, const QString& hint) {
    auto* button = new QToolButton(font);
    button->setText(caption);
    button->setToolTip(hint);
    button->setCheckable(true);
    return button;
  };
  btnBold = styleButton("B", text(kBold));
  btnItalic = styleButton("I", text(kItalic));
  btnUnderline = styleButton("U", text(kUnderline));
  btnFontColor = new TColorButton(font);
  auto* fontRow = new QHBoxLayout(font);
  fontRow->addWidget(cbFontName, 1);
  fontRow->addWidget(cbFontSize);
  for (QWidget* w : std::initializer_list<QWidget*>{btnBold, btnItalic, btnUnderline, btnFontColor}) fontRow->addWidget(w);

  auto* counts = new QGroupBox(text(kBarsAndColumns).trimmed(), page);
  edBars = digitsEdit(counts);
  edColumnSpace = digitsEdit(counts);
  edColumns = digitsEdit(counts);
  auto* countsForm = new QFormLayout(counts);
  countsForm->addRow(text(kBarsNumber), edBars);
  countsForm->addRow(text(kColumnSpace), edColumnSpace);
  countsForm->addRow(text(kColumnsNumber), edColumns);

  cbTwoPass = new QCheckBox(text(kTwoPass), page);
  auto* layout = new QGridLayout(page);
  layout->addWidget(numbering, 0, 0);
  layout->addWidget(counts, 0, 1);
  layout->addWidget(font, 1, 0, 1, 2);
  layout->addWidget(cbTwoPass, 2, 0);
  layout->setRowStretch(3, 1);
  return page;
}

void TfrmReportSet::fill(TZdReport& report) {
  const TZdProperty& properties = report.ZdProperty();
  edTitle->setText(QString::fromStdString(properties.Title));
  edAuthor->setText(QString::fromStdString(properties.Author));
  edSubject->setText(QString::fromStdString(properties.Subject));
  edKeywords->setText(QString::fromStdString(properties.Keywords));
  QStringList comments;
  for (const std::string& line : properties.Comments().Items()) comments << QString::fromStdString(line);
  mmComments->setPlainText(comments.join('\n'));

  for (size_t i = 0; i < bands.size(); ++i) {
    const TZdqBand* band = report.GetBand(report.GetIndexBand(kChoiceBands[i]));
    bands[i].Include->setChecked(band != nullptr);
    bands[i].NewPage->setChecked(band && band->NewPage());
    bands[i].NewPage->setEnabled(band != nullptr);
  }

  TZdqPrinter& printer = report.PrinterSetting();
  for (const std::string& name : printer.Printer().Printers()) lbPrinters->addItem(QString::fromStdString(name));
  int selected = printer.PrinterIndex();
  if (!printer.PrinterName().empty()) {
    const auto found = lbPrinters->findItems(QString::fromStdString(printer.PrinterName()), Qt::MatchExactly);
    selected = found.isEmpty() ? -1 : lbPrinters->row(found.first());
  }
  lbPrinters->setCurrentRow(selected >= 0 && selected < lbPrinters->count() ? selected : -1);
  const bool specified = lbPrinters->currentRow() >= 0;
  rbSpecifiedPrinter->setChecked(specified);
  rbDefaultPrinter->setChecked(!specified);
  lbPrinters->setEnabled(specified);

  for (int i = 0; i < kPaperCount; ++i) {
    int width = 0, height = 0;
    if (i == kCustomPaper) {
      try {
        width = printer.PaperSizeWidth();
        height = printer.PaperSizeHeight();
      } catch (const std::exception&) {
        // Without a printer a custom size not filled in yet shows as 0 x 0.
      }
    } else {
      width = PaperInfo(TZdqPaperSize(i)).width;
      height = PaperInfo(TZdqPaperSize(i)).height;
    }
    cbPaperSize->addItem(text(txt::PaperSizeNames + i), QPoint(width, height));
  }
  cbPaperSize->setCurrentIndex(int(printer.PaperSize()));
  paperChosen();
  switch (printer.Orientation()) {
    case TZdqPrinterOrientation::spoPortrait: rbPortrait->setChecked(true); break;
    case TZdqPrinterOrientation::spoLandscape: rbLandscape->setChecked(true); break;
    default: rbOrientDefault->setChecked(true); break;
  }
  const TZdqPageMargins& margins = printer.Margins();
  cbDefaultMargins->setChecked(margins.ByDefault());
  const int values[] = {margins.Left(), margins.Top(), margins.Right(), margins.Bottom()};
  for (size_t i = 0; i < edMargins.size(); ++i) {
    edMargins[i]->setText(decimal(values[i]));
    edMargins[i]->setEnabled(!margins.ByDefault());
  }
  cbBin->setCurrentIndex(int(printer.OutputBin()));
  rbDuplex[size_t(printer.Duplex())]->setChecked(true);

  const TZdqFrame& frame = report.Frame();
  const bool sides[] = {frame.DrawTop(), frame.DrawBottom(), frame.DrawLeft(), frame.DrawRight()};
  for (size_t i = 0; i < cbFrameSides.size(); ++i) cbFrameSides[i]->setChecked(sides[i]);
  cbFrameColor->SetColorValue(frame.Color());
  cbBackColor->SetColorValue(frame.BackColor());
  cbImageType->setCurrentIndex(int(frame.PicType()));
  Picture = frame.Picture();

  edStartAt->setText(decimal(report.PageNoStartAt()));
  edCountBy->setText(decimal(report.PageNoCountBy()));
  const TFont& font = report.Font();
  cbFontName->SetFontName(font.Name);
  cbFontSize->SetFontSize(font.Size);
  btnBold->setChecked(font.Style.Has(TFontStyle::fsBold));
  btnItalic->setChecked(font.Style.Has(TFontStyle::fsItalic));
  btnUnderline->setChecked(font.Style.Has(TFontStyle::fsUnderline));
  btnFontColor->SetColor(font.Color);
  edBars->setText(decimal(report.BarNumber()));
  edColumnSpace->setText(decimal(report.ColumnSpace()));
  edColumns->setText(decimal(report.ColumnNumber()));
  cbTwoPass->setChecked(report.TwoPass());
  updatePreview();
}

void TfrmReportSet::paperChosen() {
  const QPoint size = cbPaperSize->currentData().toPoint();
  choosingPaper_ = true;
  edPaperWidth->setText(decimal(size.x()));
  edPaperHeight->setText(decimal(size.y()));
  choosingPaper_ = false;
  updatePreview();
}

void TfrmReportSet::sizeTyped() {
  if (choosingPaper_) return;
  QSignalBlocker quiet(cbPaperSize);  // the typed numbers stay
  cbPaperSize->setCurrentIndex(kCustomPaper);
  updatePreview();
}

void TfrmReportSet::orientationChosen() {
  const TZdqPrinterOrientation shown = rbPortrait->isChecked()    ? TZdqPrinterOrientation::spoPortrait
                                       : rbLandscape->isChecked() ? TZdqPrinterOrientation::spoLandscape
                                                                  : TZdqPrinterOrientation::spoDefault;
  imgOrientation->setPixmap(orientationPicture(shown));
  updatePreview();
}

void TfrmReportSet::updatePreview() {
  TPageSketch::TSheet sheet;
  sheet.Width = intOf(edPaperWidth, 0);
  sheet.Height = intOf(edPaperHeight, 0);
  if (sheet.Width <= 0 || sheet.Height <= 0) sheet.Width = 2100, sheet.Height = 2970;  // the printer's paper
  if (rbLandscape->isChecked() == (sheet.Width < sheet.Height)) std::swap(sheet.Width, sheet.Height);
  if (!cbDefaultMargins->isChecked())
    for (size_t i = 0; i < edMargins.size(); ++i) sheet.Margins[i] = std::max(intOf(edMargins[i], 0), 0);
  for (size_t i = 0; i < cbFrameSides.size(); ++i) sheet.Sides[i] = cbFrameSides[i]->isChecked();
  sheet.FrameColor = cbFrameColor->ColorValue();
  sheet.BackColor = cbBackColor->ColorValue();
  pnlPreview->Show(sheet);
}

void TfrmReportSet::choosePicture() {
  const QString file = QFileDialog::getOpenFileName(this, text(txt::PictureCaption), QString(),
                                                    "Pictures (*.bmp *.png *.jpg *.jpeg *.emf *.wmf);;* (*)");
  if (file.isEmpty()) return;
  try {
    TPicture picture;
    picture.LoadFromFile(file.toStdString());
    Picture = picture;
  } catch (const std::exception& e) {
    QMessageBox::critical(this, text(txt::ErrorCaption), QString::fromStdString(e.what()));
  }
}

bool TfrmReportSet::WriteBack(TZdReport& report) const {
  TZdProperty& properties = report.ZdProperty();
  properties.Title = edTitle->text().toStdString();
  properties.Author = edAuthor->text().toStdString();
  properties.Subject = edSubject->text().toStdString();
  properties.Keywords = edKeywords->text().toStdString();
  TStringList comments;
  const QString commentText = mmComments->toPlainText();
  if (!commentText.isEmpty())
    for (const QString& line : commentText.split('\n')) comments.Add(line.toStdString());
  properties.SetComments(comments);

  TFont font = report.Font();
  font.Name = cbFontName->FontName();
  if (cbFontSize->FontSize() > 0) font.Size = cbFontSize->FontSize();
  TFontStyles style;
  if (btnBold->isChecked()) style.Set(TFontStyle::fsBold);
  if (btnItalic->isChecked()) style.Set(TFontStyle::fsItalic);
  if (btnUnderline->isChecked()) style.Set(TFontStyle::fsUnderline);
  font.Style = style;
  font.Color = btnFontColor->Color();
  report.FontObject().SetValue(font);

  TZdqPrinter& printer = report.PrinterSetting();
  if (rbDefaultPrinter->isChecked() || lbPrinters->currentRow() < 0) {
    printer.SetPrinterName("");
    printer.SetPrinterIndex(-1);
  } else {
    printer.SetPrinterName(lbPrinters->currentItem()->text().toStdString());
    printer.SetPrinterIndex(lbPrinters->currentRow());
  }

  bool changed = false;
  TZdqPageMargins margins;
  margins.SetByDefault(cbDefaultMargins->isChecked());
  margins.SetLeft(intOf(edMargins[0], 0));
  margins.SetTop(intOf(edMargins[1], 0));
  margins.SetRight(intOf(edMargins[2], 0));
  margins.SetBottom(intOf(edMargins[3], 0));
  changed |= !(margins == printer.Margins());  // the bands' width follows the margins
  printer.SetMargins(margins);

  const TZdqPrinterOrientation orientation = rbPortrait->isChecked()    ? TZdqPrinterOrientation::spoPortrait
                                             : rbLandscape->isChecked() ? TZdqPrinterOrientation::spoLandscape
                                                                        : TZdqPrinterOrientation::spoDefault;
  changed |= orientation != printer.Orientation();
  printer.SetOrientation(orientation);

  const auto paper = TZdqPaperSize(cbPaperSize->currentIndex());
  changed |= paper != printer.PaperSize() || paper == TZdqPaperSize::psCustom;
  try {
    printer.SetPaperSize(paper);
  } catch (const std::exception&) {
    // The default size asks the printer; without one the size stays as it was.
  }
  if (paper == TZdqPaperSize::psCustom) {
    printer.SetPaperSizeWidth(intOf(edPaperWidth, 0));
    printer.SetPaperSizeHeight(intOf(edPaperHeight, 0));
  }
  printer.SetOutputBin(TZdqBin(cbBin->currentIndex()));
  for (size_t i = 0; i < rbDuplex.size(); ++i)
    if (rbDuplex[i]->isChecked()) printer.SetDuplex(TZdqDuplex(i));

  TZdqFrame& frame = report.Frame();
  frame.SetDrawTop(cbFrameSides[0]->isChecked());
  frame.SetDrawBottom(cbFrameSides[1]->isChecked());
  frame.SetDrawLeft(cbFrameSides[2]->isChecked());
  frame.SetDrawRight(cbFrameSides[3]->isChecked());
  frame.SetColor(cbFrameColor->ColorValue());
  frame.SetBackColor(cbBackColor->ColorValue());
  frame.SetPicType(TZdPicType(cbImageType->currentIndex()));
  frame.SetPicture(Picture);

  const int bars = intOf(edBars, 1);
  changed |= bars != report.BarNumber();
  report.SetBarNumber(bars);
  report.SetColumnSpace(intOf(edColumnSpace, 0));
  report.SetColumnNumber(intOf(edColumns, 1));
  report.SetTwoPass(cbTwoPass->isChecked());
  for (TBandType type : {TBandType::btColumnHeader, TBandType::btColumnFooter}) {
    const int index = report.GetIndexBand(type);
    if (index < 0 && report.ColumnNumber() > 1) {
      report.NewBand(type, true);
      changed = true;
    } else if (index >= 0 && report.ColumnNumber() < 2) {
      report.DeleteBand(index);
      changed = true;
    }
  }
  report.SetPageNoStartAt(intOf(edStartAt, report.PageNoStartAt()));
  report.SetPageNoCountBy(intOf(edCountBy, report.PageNoCountBy()));

  for (size_t i = 0; i < bands.size(); ++i) {
    const int index = report.GetIndexBand(kChoiceBands[i]);
    TZdqBand* band = report.GetBand(index);
    if (bands[i].Include->isChecked() != (band != nullptr)) {
      changed = true;
      if (band) {
        report.DeleteBand(index);
        band = nullptr;
      } else {
        band = &report.NewBand(kChoiceBands[i], true);
      }
    }
    if (band) band->SetNewPage(bands[i].NewPage->isChecked());
  }
  return changed;
}

}  // namespace zd
