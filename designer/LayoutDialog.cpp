#include "designer/LayoutDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "designer/DialogButtons.h"
#include "designer/controls/ZdColorsCombo.h"
#include "designer/controls/ZdNumberEdit.h"
#include "designer/DesignerText.h"
#include "expr/StrUtils.h"
#include "print/Language.h"

namespace zd {

namespace {

enum : int {
  kCaption = 1630, kPreferences, kSave, kToolbars, kBackgroundColor, kGrid, kDisplayGrid, kGridSizeX,
  kGridSizeY, kShowBandTitle, kSnapToGrid, kRulers, kCentimetres, kInches, kPixels, kCreateBackup,
  kSaveSettings, kFirstToolbar, kFlatButtons = kFirstToolbar + 5,
  kOK = 1103, kCancel = 1104,
};

constexpr int kDefaultGridSize = 8;


int gridSize(const TZdNumberEdit* edit) {
  const int size = StrToIntDef(edit->text().trimmed().toStdString(), kDefaultGridSize);
  return size > 0 ? size : kDefaultGridSize;  // a grid of 0 or less cannot be snapped to
}

}  // namespace

TfrmLayout::TfrmLayout(QWidget* parent, int shift) : QDialog(parent) {
  setWindowTitle(DesignerText(shift, kCaption));
  Pages = new QTabWidget(this);
  Pages->addTab(preferencesPage(shift), DesignerText(shift, kPreferences));
  Pages->addTab(savePage(shift), DesignerText(shift, kSave));
  Pages->addTab(toolbarsPage(shift), DesignerText(shift, kToolbars));

  QDialogButtonBox* buttons = NewOkCancel(*this, DesignerText(shift, kOK), DesignerText(shift, kCancel), &btnOK, &btnCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Pages);
  layout->addWidget(buttons);
}

QWidget* TfrmLayout::preferencesPage(int shift) {
  auto* page = new QWidget;
  cbColor = new TZdColorsCombo(page);
  auto* colorRow = new QFormLayout;
  colorRow->addRow(DesignerText(shift, kBackgroundColor), cbColor);

  auto* grid = new QGroupBox(DesignerText(shift, kGrid).trimmed(), page);
  chkDisplayGrid = new QCheckBox(DesignerText(shift, kDisplayGrid), grid);
  edGridSizeX = new TZdNumberEdit(grid);
  edGridSizeY = new TZdNumberEdit(grid);
  for (TZdNumberEdit* edit : {edGridSizeX, edGridSizeY}) {
    edit->SetIntegerOnly(true);
    edit->setMaximumWidth(60);
  }
  chkShowBandTitle = new QCheckBox(DesignerText(shift, kShowBandTitle), grid);
  chkSnapToGrid = new QCheckBox(DesignerText(shift, kSnapToGrid), grid);
  auto* sizes = new QFormLayout;
  sizes->addRow(DesignerText(shift, kGridSizeX), edGridSizeX);
  sizes->addRow(DesignerText(shift, kGridSizeY), edGridSizeY);
  auto* gridLayout = new QVBoxLayout(grid);
  gridLayout->addWidget(chkDisplayGrid);
  gridLayout->addLayout(sizes);
  gridLayout->addWidget(chkShowBandTitle);
  gridLayout->addWidget(chkSnapToGrid);

  auto* rulers = new QGroupBox(DesignerText(shift, kRulers).trimmed(), page);
  auto* rulersLayout = new QVBoxLayout(rulers);
  for (int i = 0; i < 3; ++i) {
    rbMeasure[i] = new QRadioButton(DesignerText(shift, kCentimetres + i), rulers);
    rulersLayout->addWidget(rbMeasure[i]);
  }

  auto* layout = new QVBoxLayout(page);
  layout->addLayout(colorRow);
  layout->addWidget(grid);
  layout->addWidget(rulers);
  layout->addStretch();
  return page;
}

QWidget* TfrmLayout::savePage(int shift) {
  auto* page = new QWidget;
  chkCreateBackup = new QCheckBox(DesignerText(shift, kCreateBackup), page);
  chkAutoSaveOptions = new QCheckBox(DesignerText(shift, kSaveSettings), page);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(chkCreateBackup);
  layout->addWidget(chkAutoSaveOptions);
  layout->addStretch();
  return page;
}

QWidget* TfrmLayout::toolbarsPage(int shift) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  for (int i = 0; i < 5; ++i) {
    chkToolbars[i] = new QCheckBox(DesignerText(shift, kFirstToolbar + i), page);
    layout->addWidget(chkToolbars[i]);
  }
  chkFlat = new QCheckBox(DesignerText(shift, kFlatButtons), page);
  layout->addSpacing(8);
  layout->addWidget(chkFlat);
  layout->addStretch();
  return page;
}

void TfrmLayout::Fill(const TZdqDOptions& options, TZdMeasure rulerMeasure) {
  cbColor->SetColorValue(options.Color);
  chkDisplayGrid->setChecked(options.DisplayGrid);
  edGridSizeX->setText(QString::number(options.GridSizeX));
  edGridSizeY->setText(QString::number(options.GridSizeY));
  chkShowBandTitle->setChecked(options.ShowBandTitle);
  chkSnapToGrid->setChecked(options.SnapToGrid);
  rbMeasure[size_t(rulerMeasure)]->setChecked(true);
  chkCreateBackup->setChecked(options.CreateBackup);
  chkAutoSaveOptions->setChecked(options.AutoSaveOptions);
  for (int i = 0; i < 5; ++i) chkToolbars[i]->setChecked(options.Toolbars.Has(TZdqDToolbar(i)));
  chkFlat->setChecked(options.Flat);
}

void TfrmLayout::WriteBack(TZdqDOptions& options, TZdMeasure& rulerMeasure) const {
  options.Color = cbColor->ColorValue();
  options.DisplayGrid = chkDisplayGrid->isChecked();
  options.GridSizeX = gridSize(edGridSizeX);
  options.GridSizeY = gridSize(edGridSizeY);
  options.ShowBandTitle = chkShowBandTitle->isChecked();
  options.SnapToGrid = chkSnapToGrid->isChecked();
  for (int i = 0; i < 3; ++i)
    if (rbMeasure[i]->isChecked()) rulerMeasure = TZdMeasure(i);
  options.CreateBackup = chkCreateBackup->isChecked();
  options.AutoSaveOptions = chkAutoSaveOptions->isChecked();
  for (int i = 0; i < 5; ++i) options.Toolbars.Set(TZdqDToolbar(i), chkToolbars[i]->isChecked());
  options.Flat = chkFlat->isChecked();
}

bool EditDesignerOptions(QWidget* parent, TZdqDOptions& options, TZdMeasure& rulerMeasure, int languageShift) {
  TfrmLayout dialog(parent, languageShift);
  dialog.Fill(options, rulerMeasure);
  if (dialog.exec() != QDialog::Accepted) return false;
  dialog.WriteBack(options, rulerMeasure);
  return true;
}

}  // namespace zd
