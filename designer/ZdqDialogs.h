#pragma once
// The property dialogs of report elements: the common part every element
// has (name, position, print condition, highlights, description) and the
// dialogs of labels, shapes, images and bands built on it.
#include <QDialog>
#include <functional>
#include <string>

#include "designer/DesignGeometry.h"
#include "designer/ZdqEdit.h"
#include "host/graphics/Canvas.h"
#include "host/graphics/Bitmap.h"
#include "report/model/ZdqBase.h"
#include "report/model/ZdqTypes.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QVBoxLayout;

namespace zd {

class TColorButton;
class TExpressionEdit;

enum class TfrmTypeControl { tcNone, tcBand, tcLabel, tcExpression, tcSysData, tcImage, tcShape, tcBarCode, tcRichText };

// The band notice the designer relays out on.
constexpr int kMsgBandChanged = 11030;

// Registers the dialogs of the built-in element classes with add.
void RegisterStandardZdqEditors(const std::function<void(const std::string&, detail::TZdqEditorFactory)>& add);

// When an element prints: the dialog edits its own copy, which the caller
// takes after OK.
class TfrmPrintWhen : public QDialog {
 public:
  explicit TfrmPrintWhen(QWidget* parent = nullptr);
  int LangShift = 0;
  void FillStringsFromRes();
  // The report's group expressions; with none, "when this group changes" is off.
  void SetGroups(const QStringList& groups);
  // The report whose data the expression builder offers.
  void SetReport(TZdReport* report);
  void SetPrintWhen(const TZdPrintWhen& printWhen);
  // The condition as the dialog shows it.
  TZdPrintWhen PrintWhen() const;

  QGroupBox* gbRepeated;
  QRadioButton *rbRepeatedYes, *rbRepeatedNo;
  QCheckBox *cbRePrintOnNewPage, *cbOnGroupChange, *cbOnOverflow, *cbRemoveBlankLine, *cbShowIf, *cbHideWhen;
  QComboBox* cbGroups;
  TExpressionEdit *edShowIf, *edHideWhen;
  QPushButton *btnOk, *btnCancel;

 private:
  void updateEnabled();
};

// The common dialog of every element.
class TfrmControl : public TZdqBaseEditor {
 public:
  explicit TfrmControl(QWidget* parent = nullptr);
  void FillStringsFromRes() override;
  void BeforeEditProperties() override;
  void AfterEditProperties() override;

  // Only the description memo, untabbed: the larger text window.
  void ShowMemoOnly(const QString& caption, const QString& text);

  TZdPrintWhen PrintWhen;
  TfrmTypeControl TypeControl = TfrmTypeControl::tcNone;
  TZdqHighLights ZdqHighLights;

  QTabWidget* pcControl;
  QWidget *tsGeneral, *tsHighLights, *tsDescription;
  QLabel *lblDisplayName, *lblHint, *lblHighLightExpression;
  QLineEdit *edDisplayName, *edHint;
  TExpressionEdit* edHighLightExpression;
  QGroupBox* rgPosition;
  QButtonGroup* bgPosition;
  QCheckBox* cbTransparent;
  // Shown by dialogs whose display name is a longer text.
  QPushButton* btnDisplayName;
  QPushButton *btnPrintWhen, *btnAddHighLight, *btnDeleteHighLight, *btnHighLightFont, *btnOk, *btnCancel;
  QListWidget* lbHighLights;
  TColorButton* btnHighLightColor;
  QPlainTextEdit* meDescription;

 protected:
  // Where derived dialogs put their own controls on the "General" page.
  QVBoxLayout* generalExtra_;
  // The element as the class the dialog is for, nullptr for another class.
  template <class T>
  T* element() const {
    return dynamic_cast<T*>(FZdqControl);
  }
  QString text(int id) const;
  TZdReport* report() const { return FZdqControl ? FZdqControl->GetZdReport() : nullptr; }

 private:
  void editPrintWhen();
  void listHighLights();
  void showHighLight();
  void storeHighLight();
  TZdqHighLight* currentHighLight() const;
};

class TfrmLabel : public TfrmControl {
 public:
  explicit TfrmLabel(QWidget* parent = nullptr);
  void FillStringsFromRes() override;
  void BeforeEditProperties() override;
  void AfterEditProperties() override;

  QGroupBox* gbSize;
  QCheckBox *cbStretch, *cbWordWrap;
  QLabel* lblAngle;
  QLineEdit* edAngle;

 private:
  void editText();
};

class TfrmShape : public TfrmControl {
 public:
  explicit TfrmShape(QWidget* parent = nullptr);
  void FillStringsFromRes() override;
  void BeforeEditProperties() override;
  void AfterEditProperties() override;

  QGroupBox *rgStretch, *gbLineStyle, *gbRectangle, *gbEllipse;
  QButtonGroup *bgStretch, *bgLine, *bgRectangle, *bgEllipse;
  QCheckBox* cbDoubleLine;
};

class TfrmImage : public TfrmControl {
 public:
  explicit TfrmImage(QWidget* parent = nullptr);
  void FillStringsFromRes() override;
  void BeforeEditProperties() override;
  void AfterEditProperties() override;

  QGroupBox *gbSource, *gbSize, *gbBarCode;
  QRadioButton *rbFile, *rbField, *rbPicture;
  QLineEdit* edFileName;
  QPushButton *btnFileName, *btnPicture;
  QComboBox *cbField, *cbBarCodeType;
  QCheckBox *cbStretchImage, *cbCenter, *cbAspectRatio, *cbVertical;
  // The picture the dialog carries; the element takes it on OK.
  TPicture Picture;
};

class TfrmZdqBand : public TfrmControl {
 public:
  explicit TfrmZdqBand(QWidget* parent = nullptr);
  bool IsBandEditor() const override { return true; }
  void FillStringsFromRes() override;
  void BeforeEditProperties() override;
  void AfterEditProperties() override;

  QLabel *lblBandType, *lblOutline, *lblExpression, *lblDataset;
  QComboBox *cbBandType, *cbExpression, *cbDataset;
  QPushButton* btnExpression;  // the builder on the chosen entry
  QCheckBox* cbStretch;
  TExpressionEdit* edOutline;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showTypeFields();
  void buildExpression();
  int initialDataset_ = -1;
};

// A frame's pen: the caller fills the thickness and style and reads them
// back after OK.
class TfrmPenStyle : public QDialog {
 public:
  explicit TfrmPenStyle(QWidget* parent = nullptr);
  int LangShift = 0;
  void FillStringsFromRes();
  void SetPen(int thickness, TPenStyle style);
  // An empty edit counts as 0.
  int Thickness() const;
  TPenStyle PenStyle() const;

  QLabel* lblThickness;
  QLineEdit* edThickness;
  QListWidget* lbPenStyle;  // one row per pen style, in order
  QPushButton *btnOk, *btnCancel;
};

// A control's position and size: the caller fills them and reads them back
// after OK.
class TfrmControlSizes : public QDialog {
 public:
  explicit TfrmControlSizes(QWidget* parent = nullptr);
  int LangShift = 0;
  void FillStringsFromRes();
  void SetSizes(const TControlBounds& bounds);
  // An empty edit counts as 0.
  TControlBounds Sizes() const;

  QLabel *lblTop, *lblLeft, *lblWidth, *lblHeight;
  QLineEdit *edTop, *edLeft, *edWidth, *edHeight;
  QPushButton *btnOk, *btnCancel;
};

}  // namespace zd
