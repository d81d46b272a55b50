// Datasets over Qt item models: fields from the header, types from the
// values, lazy models fetched as the cursor moves, a deleted model.
#include <gtest/gtest.h>

#include <QAbstractTableModel>
#include <QDate>
#include <memory>

#include "host/data/ItemModelDataSet.h"
#include "host/data/detail/ValueConv.h"

using namespace zd;

namespace {

// 250 rows handed out 100 at a time, like a model over a slow source.
class TLazyOrders : public QAbstractTableModel {
 public:
  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : loaded_; }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 5; }
  bool canFetchMore(const QModelIndex& parent) const override { return !parent.isValid() && loaded_ < 250; }
  void fetchMore(const QModelIndex&) override {
    const int more = std::min(100, 250 - loaded_);
    beginInsertRows({}, loaded_, loaded_ + more - 1);
    loaded_ += more;
    endInsertRows();
  }
  QVariant headerData(int section, Qt::Orientation o, int role) const override {
    static const char* names[] = {"id", "amount", "shipped", "paid", ""};
    if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return QString(names[section]);
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::DisplayRole) return QString("shown");  // formatted: must not be read
    if (role != Qt::EditRole) return {};
    const int r = index.row();
    switch (index.column()) {
      case 0: return r + 1;
      case 1: return r % 7 == 0 ? QVariant() : QVariant(r * 1.5);
      case 2: return QDate(2026, 1, 1).addDays(r);
      case 3: return r % 2 == 0;
      default: return QString("note %1").arg(r);
    }
  }

 private:
  int loaded_ = 0;
};

}  // namespace

TEST(ItemModelDataSet, ReadsTypedColumnsAndFetchesLazyRows) {
  TLazyOrders model;
  TItemModelDataSet ds;
  ds.SetModel(&model);
  ds.Open();
  ASSERT_EQ(ds.GetFieldNames(), (std::vector<std::string>{"id", "amount", "shipped", "paid", "Column5"}));
  EXPECT_EQ(ds.Fields(0).DataType(), TFieldType::ftInteger);
  EXPECT_EQ(ds.Fields(1).DataType(), TFieldType::ftFloat);
  EXPECT_EQ(ds.Fields(2).DataType(), TFieldType::ftDate);
  EXPECT_EQ(ds.Fields(3).DataType(), TFieldType::ftBoolean);
  EXPECT_EQ(ds.Fields(4).DataType(), TFieldType::ftString);
  EXPECT_TRUE(ds.FieldByName("amount").IsNull());  // row 0: no amount
  ds.Next();
  EXPECT_DOUBLE_EQ(ds.FieldByName("amount").AsFloat(), 1.5);
  EXPECT_EQ(ds.Fields(4).AsString(), "note 1");
  EXPECT_EQ(ds.RecordCount(), 250);
  ds.Last();
  EXPECT_EQ(ds.FieldByName("id").AsInteger(), 250);
  EXPECT_EQ(ds.FieldByName("shipped").AsDateTime().days, TryEncodeDate(2026, 1, 1)->days + 249);
}

TEST(ItemModelDataSet, AModelGoneOrMissingIsAClearError) {
  TItemModelDataSet ds;
  ds.SetName("Orders");
  EXPECT_THROW(ds.Open(), EDatabaseError);
  auto model = std::make_unique<TLazyOrders>();
  ds.SetModel(model.get());
  ds.Open();
  model.reset();
  try {
    ds.Last();
    FAIL() << "reading a deleted model must fail";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("deleted"), std::string::npos) << e.what();
  }
  ds.Close();
  EXPECT_THROW(ds.Open(), EDatabaseError);
}
