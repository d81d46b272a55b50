#pragma once
// The groups dialog: every data group of a report (a group header and its
// footer sharing an expression and page-break rules) in one list, added,
// deleted, reordered by dragging and edited; the report's group bands are
// rebuilt from the list when it closes with changes.
#include <QDialog>
#include <QListWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;
class QToolButton;

namespace zd {

class TZdNumberEdit;
class TZdqBand;
class TZdReport;

// One row: the group bands that share these values.
struct TGroup {
  std::vector<TZdqBand*> lstBands;  // empty for a group added in the dialog
  bool boolNewPage = false;
  bool boolReprintHeader = false;
  double flLessThan = 0;
  std::string strExpression;
  bool boolNewPageIfNotFit = false;

  bool SameRules(const TZdqBand& band) const;
};

// A list whose rows are moved by dragging one onto another.
class TGroupList : public QListWidget {
 public:
  using QListWidget::QListWidget;
  std::function<void(int from, int to)> OnMoved;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int dragRow_ = -1;
  QPoint pressedAt_;
  bool dragging_ = false;
};

class TfrmGroups : public QDialog {
 public:
  TfrmGroups(TZdReport& report, QWidget* parent = nullptr);
  ~TfrmGroups() override;

  bool Modified() const { return modified_; }
  const std::vector<TGroup*> Groups() const;  // in list order
  // Rebuilds the report's group bands from the list; nothing without changes.
  void ApplyTo(TZdReport& report) const;

  TGroupList* lbGroups;
  QWidget* pnlProperties;
  QComboBox* cbData;
  QToolButton* btnExpression;  // the expression builder on the text of "Data"
  QCheckBox *cbNewPage, *cbReprintHeader, *cbLessThan, *cbNewPageIfNotFit;
  TZdNumberEdit* edLessThan;
  QPushButton *btnAdd, *btnDelete, *btnClose;

 private:
  void readGroups(TZdReport& report);
  void addRow(std::unique_ptr<TGroup> group);
  TGroup* selected() const;
  void showSelected();
  void edited();
  void storeLessThan();
  void storeExpression(const QString& expression);
  void buildExpression();
  void deleteSelected();
  QString caption(const TGroup& group) const;
  QString text(int id) const;

  TZdReport& report_;
  int shift_;
  std::vector<TZdqBand*> originalBands_;  // the report's group bands when opened
  std::vector<std::unique_ptr<TGroup>> groups_;  // owned here; rows point at them
  bool modified_ = false;
  bool showing_ = false;  // a row's values are being put into the panel
};

// Runs the dialog on the report; true when the group bands were rebuilt.
bool EditGroups(QWidget* parent, TZdReport& report);

}  // namespace zd
