#include "host/core/Component.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "host/core/Strings.h"

namespace zd {
namespace {

// Records its own destruction and every removal it hears of, by name.
class TProbe : public TComponent {
 public:
  TProbe(TComponent* owner, std::string name, std::vector<std::string>* log)
      : TComponent(owner), log_(log) {
    SetName(name);
    ListenToSiblings();
  }
  ~TProbe() override { log_->push_back("~" + Name()); }
  TComponent* watched = nullptr;
  TComponent* killOnNotify = nullptr;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    if (op != TOperation::opRemove) return;
    log_->push_back(Name() + " heard " + c->Name());
    if (c == watched) watched = nullptr;
    if (killOnNotify) {
      TComponent* k = killOnNotify;
      killOnNotify = nullptr;
      delete k;
    }
  }

 private:
  std::vector<std::string>* log_;
};

TEST(ComponentOwnership, OwnerDestroysChildrenInReverseOrderAndSpreadsDesigning) {
  std::vector<std::string> log;
  auto* root = new TProbe(nullptr, "Root", &log);
  auto* a = new TProbe(root, "A", &log);
  new TProbe(a, "A1", &log);
  new TProbe(root, "B", &log);
  EXPECT_EQ(root->ComponentCount(), 2);
  EXPECT_EQ(a->Owner(), root);
  log.clear();
  delete root;
  // The probe's own destructor logs before the base class frees children.
  std::vector<std::string> destroyed;
  for (const auto& e : log)
    if (e[0] == '~') destroyed.push_back(e);
  EXPECT_EQ(destroyed, (std::vector<std::string>{"~Root", "~B", "~A", "~A1"}));
  // Designing spreads to owned components.
  TComponent top;
  auto* child = new TComponent(&top);
  auto* grandchild = new TComponent(child);
  top.SetDesigning(true);
  EXPECT_TRUE(grandchild->IsDesigning());
  top.SetDesigning(false);
  EXPECT_FALSE(child->IsDesigning());
}

TEST(ComponentOwnership, DeletingAChildRemovesItFromItsOwnerAndTellsSiblings) {
  std::vector<std::string> log;
  TProbe root(nullptr, "Root", &log);
  auto* a = new TProbe(&root, "A", &log);
  auto* b = new TProbe(&root, "B", &log);
  b->watched = a;
  delete a;
  EXPECT_EQ(root.ComponentCount(), 1);
  EXPECT_EQ(root.Components()[0], b);
  EXPECT_EQ(b->watched, nullptr);
}

TEST(ComponentOwnership, AHundredThousandNamedComponentsComeAndGoInLinearTime) {
  const auto start = std::chrono::steady_clock::now();
  auto* root = new TComponent();
  for (int i = 0; i < 100000; ++i) (new TComponent(root))->SetName("Control" + std::to_string(i));
  EXPECT_EQ(root->FindComponent("control99999"), root->Components().back());
  EXPECT_THROW((new TComponent(root))->SetName("CONTROL5"), EConvertError);
  delete root;
  // Quadratic insertion, lookup or removal took most of a minute.
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
}

TEST(ComponentOwnership, InsertComponentMovesBetweenOwnersButRefusesCycles) {
  std::vector<std::string> log;
  TProbe first(nullptr, "First", &log), second(nullptr, "Second", &log);
  auto* c = new TProbe(&first, "C", &log);
  second.InsertComponent(c);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(second.FindComponent("c"), c);
  EXPECT_EQ(c->Owner(), &second);
  second.RemoveComponent(c);
  EXPECT_EQ(c->Owner(), nullptr);
  delete c;  // the caller owns it now
  EXPECT_EQ(second.ComponentCount(), 0);
  TComponent root;
  auto* child = new TComponent(&root);
  auto* grandchild = new TComponent(child);
  EXPECT_THROW(child->InsertComponent(child), EConvertError);
  EXPECT_THROW(grandchild->InsertComponent(&root), EConvertError);
  EXPECT_EQ(grandchild->Owner(), child);
  EXPECT_EQ(root.Owner(), nullptr);
}

TEST(ComponentNames, ClashWithinOrMovingIntoAnOwnerIsRefusedIgnoringCase) {
  TComponent owner;
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("Label1");
  EXPECT_THROW(b->SetName("LABEL1"), EConvertError);
  EXPECT_EQ(b->Name(), "");
  a->SetName("label1");  // renaming itself with other case is no clash
  EXPECT_EQ(owner.FindComponent("LaBeL1"), a);
  EXPECT_EQ(owner.FindComponent(""), nullptr);  // unnamed components are not found by name
  b->SetName("Label2");
  EXPECT_EQ(owner.FindComponent("label2"), b);
  TComponent first, second;
  auto* band = new TComponent(&first);
  band->SetName("Band1");
  (new TComponent(&second))->SetName("band1");
  EXPECT_THROW(second.InsertComponent(band), EConvertError);
  EXPECT_EQ(band->Owner(), &first);
  EXPECT_EQ(second.ComponentCount(), 1);
}

TEST(FreeNotification, EitherSideMayBeDestroyedFirstAndARemovedSubscriptionIsSilent) {
  std::vector<std::string> log;
  auto* report = new TProbe(nullptr, "Report", &log);
  auto* dataset = new TProbe(nullptr, "Data", &log);
  report->watched = dataset;
  report->FreeNotification(dataset);
  delete dataset;
  EXPECT_EQ(report->watched, nullptr);
  log.clear();
  delete report;  // must not call the dead dataset
  EXPECT_EQ(log, std::vector<std::string>{"~Report"});

  auto* report2 = new TProbe(nullptr, "Report2", &log);
  auto* dataset2 = new TProbe(nullptr, "Data2", &log);
  dataset2->FreeNotification(report2);
  delete report2;
  log.clear();
  delete dataset2;
  EXPECT_EQ(log, std::vector<std::string>{"~Data2"});
  TProbe listener(nullptr, "Listener", &log);
  auto* source = new TProbe(nullptr, "Source", &log);
  source->FreeNotification(&listener);
  source->RemoveFreeNotification(&listener);
  log.clear();
  delete source;
  EXPECT_EQ(log, std::vector<std::string>{"~Source"});
}

TEST(FreeNotification, HandlerDestroyingAnotherSubscriberIsSafe) {
  std::vector<std::string> log;
  auto* source = new TProbe(nullptr, "Source", &log);
  auto* first = new TProbe(nullptr, "First", &log);
  auto* second = new TProbe(nullptr, "Second", &log);
  source->FreeNotification(first);
  source->FreeNotification(second);
  // Whichever hears first destroys the other; the other must then not be called.
  first->killOnNotify = second;
  second->killOnNotify = first;
  log.clear();
  delete source;
  int heard = 0, destroyed = 0;
  for (const auto& e : log) {
    heard += e.find(" heard Source") != std::string::npos;
    destroyed += e == "~First" || e == "~Second";
  }
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(destroyed, 1);
  const bool firstGone = std::find(log.begin(), log.end(), "~First") != log.end();
  delete (firstGone ? second : first);
}

TEST(Persistent, AssignRefusesIncompatibleSourcesWithTheirNames) {
  TStringList list{"a"};
  TComponent component;
  try {
    list.Assign(component);
    FAIL() << "assigning a component to a string list must fail";
  } catch (const EConvertError& e) {
    EXPECT_NE(std::string(e.what()).find("TComponent"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("TStringList"), std::string::npos);
  }
  EXPECT_EQ(list.Count(), 1);  // unchanged
  TPersistent plain;
  EXPECT_THROW(plain.Assign(list), EConvertError);
}

}  // namespace
}  // namespace zd
