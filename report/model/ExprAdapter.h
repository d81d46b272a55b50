#pragma once
// The report's data manager seen through the expression engine's field
// interfaces, so that expressions read dataset fields.
#include <memory>
#include <string>
#include <vector>

#include "expr/FieldResolver.h"
#include "report/model/ZdqDMan.h"

namespace zd {

// The datasets of a data manager as the expression engine sees them. Bind
// before each evaluation: the manager's items may have changed since.
class TZdqExprDataManager : public TExprDataManager {
 public:
  TZdqExprDataManager();
  ~TZdqExprDataManager() override;

  // Takes the manager's current items; returns whether they differ from
  // the ones bound before (names parsed against the old ones may be stale).
  bool Bind(const TZdqDataManager* manager);

  int DataSourceCount() const override { return int(sources_.size()); }
  const TExprDataSource* DataSource(int index) const override;

 private:
  class TSource;
  struct TItem {
    const TDataSet* dataset;
    std::string caption;
    bool operator==(const TItem&) const = default;
  };

  std::vector<TItem> items_;
  std::vector<std::unique_ptr<TSource>> sources_;  // nullptr for an item without dataset
};

}  // namespace zd
