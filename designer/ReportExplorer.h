#pragma once
// The report explorer: a dockable panel of three trees, the report's bands
// and controls, its data sources with their fields, and the names an
// expression can use (system values, custom variables, parameters). Nodes
// are dragged onto the design surface to make controls, and control nodes
// onto other bands to move the controls. Variables and parameters are
// added, edited and (variables) deleted here, and so are the report's SQL
// datasets.
#include <QDockWidget>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QPushButton;
class QTabWidget;

namespace zd {

class TDataSet;
class TZdqDataset;
class TZdqBand;
class TZdqControl;
class TZdqParameter;
class TZdqVariable;
class TZdReport;

// Makes the controls a dropped explorer node stands for at `at` in the
// band: a field gives a label with its name and, 2 pixels to its right, an
// expression of it; a system value a system-data control; a variable or
// parameter an expression naming it. Returns the last control made, or
// nullptr when the data is no explorer node.
TZdqControl* DropExplorerNode(const QMimeData& data, TZdqBand& band, QPoint at);
bool IsExplorerNode(const QMimeData& data);

// A tree whose nodes carry what they stand for and can be dragged.
class TExplorerTree : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;
  // Told of a control node dropped on a band node (position: the band's
  // end) or on a control node (position: that control's).
  std::function<void(TZdqControl& control, TZdqBand& target, int position)> OnMoveControl;

 protected:
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  TZdqControl* draggedControl(const QMimeData& data) const;
  QTreeWidgetItem* dropTarget(const QMimeData& data, QPoint at) const;
};

class TfrmZdqExplorer : public QDockWidget {
 public:
  explicit TfrmZdqExplorer(TZdReport& report, QWidget* parent = nullptr);

  // Fills the three trees from the report as it is now.
  void Rebuild();
  // Selects the node of a band or control without telling OnSelect.
  void SelectComponent(const TZdqControl* component);
  // The band or control of the chosen node.
  TZdqControl* NodeControl(const QTreeWidgetItem* item) const;

  // A band or control node was chosen.
  std::function<void(TZdqControl& chosen)> OnSelect;
  // The report's variables or datasets were changed here.
  std::function<void()> OnEdited;

  QTabWidget* Pages;
  TExplorerTree *tvReport, *tvData, *tvVariables;
  QPushButton *btnDSAdd, *btnDSEdit, *btnDSDelete;
  QPushButton *btnVarAdd, *btnVarEdit, *btnVarDelete;

 private:
  QWidget* page(QTreeWidget* tree, const std::vector<QPushButton*>& buttons);
  void fillReport();
  void fillData();
  void fillVariables();
  void editDataset(bool adding);
  void deleteDataset();
  void deleteVariable();
  // Add or Edit: the parameter dialog for the parameters' nodes, else the variable dialog.
  void editName(bool adding);
  void editParameter(TZdqParameter* edited);
  void editVariable(TZdqVariable* edited);
  bool confirmDelete();
  QString text(int id) const;

  TZdReport& report_;
  int shift_;
  bool selecting_ = false;  // the designer's selection is being shown
};

}  // namespace zd
