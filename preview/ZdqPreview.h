#pragma once
// The preview window: the page viewer with a tool bar of commands (print,
// open and save prepared reports, find, zoom, margins, grid, thumbnails,
// outlines), sheet tabs for the bars and page navigation. A normal window
// shown modally, or embedded in a caller's widget.
#include <QDialog>
#include <string>

#include "preview/ZdqView.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QKeyEvent;
class QTabBar;
class QToolBar;
class QToolButton;

namespace zd {

class TfrmZdqLens;

class TfrmZdPreview : public QDialog {
 public:
  // With a parent control the window fills it as a child, without a close
  // button, and frees itself when closed.
  explicit TfrmZdPreview(QWidget* parentControl = nullptr);
  ~TfrmZdPreview() override;

  void SetReport(TZdPrintBaseComponent* report);
  TZdPrintBaseComponent* GetReport() const { return ZdqPreview->Report(); }
  bool IsEmbedded() const { return isEmbeddedForm_; }

  // The scale box's items, in order.
  enum TScaleItem { si500, si400, si200, si150, si100, si75, si50, si25, si10, siFitWidth, siFitPage, siCustom };

  // Commands, as the buttons and keys run them.
  void PrintReport();
  void OpenFromFile();
  void SaveToFile();
  void ShowPage(int pageIndex);  // 0-based; out of range: nothing
  void FirstPage() { ShowPage(0); }
  void PrevPage();
  void NextPage();
  void LastPage();

  TZdqPreview* ZdqPreview;
  QToolButton *btnPrint, *btnOpenFromFile, *btnSaveToFile, *btnFindText;
  QToolButton *btnOnePage, *btnZoomTo100, *btnZoomToWidth, *btnManyPages;
  QComboBox* cbScale;
  QToolButton *btnThumbnails, *btnOutlines, *btnZoomIn, *btnZoomOut, *btnLens, *btnRuler, *btnGrid;
  QToolButton *btnAbout, *btnClose;
  QToolButton *btnFirstPage, *btnPrevPage, *btnNextPage, *btnLastPage;
  QLineEdit* edNumPage;
  QLabel* lblNumPages;
  QTabBar* tsSheets;
  TfrmZdqLens* frmLens = nullptr;  // made on first use
  std::string strLatestFileName;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QString Text(int id) const;
  QToolButton* ToolButton(const QIcon& icon, int hint, bool checkable = false);
  void BuildToolBar(QToolBar& bar);
  QWidget* BuildStatusBar();
  void RefreshCaptions();
  void Activate();
  void FillSheets();
  void ApplyScaleItem(int item);
  void ApplyPageBox();
  void ZoomByClickChanged(QToolButton* pressed);
  void ShowLens(bool on);
  bool HandleKey(QKeyEvent& key);
  void ZoomChanged();
  void PageChanged();
  void BarChanged();

  bool isEmbeddedForm_ = false;
  bool activated_ = false;
  int coefScale_ = 75;
  QLabel* lblPage_;
};

}  // namespace zd
