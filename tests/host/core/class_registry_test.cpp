#include "host/core/ClassRegistry.h"

#include <gtest/gtest.h>

#include <memory>

namespace zd {
namespace {

class TWidgetA : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TWidgetA"; }
};
class TWidgetB : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TWidgetB"; }
};

TEST(ClassRegistry, FindsRegisteredClassesIgnoringCase) {
  TClassRegistry registry;
  registry.Register<TWidgetA>("TWidgetA");
  registry.Register<TWidgetB>("TWidgetB");
  ASSERT_NE(registry.Find("twidgeta"), nullptr);
  EXPECT_EQ(registry.Find("TWIDGETB")->name, "TWidgetB");
  EXPECT_EQ(registry.Find("TWidgetC"), nullptr);
  EXPECT_EQ(registry.Find(""), nullptr);
  EXPECT_EQ(registry.Names(), (std::vector<std::string>{"TWidgetA", "TWidgetB"}));
}

TEST(ClassRegistry, CreatesInstancesOwnedByTheGivenOwner) {
  TClassRegistry registry;
  registry.Register<TWidgetB>("TWidgetB");
  TComponent owner;
  TComponent* made = registry.Create("twidgetb", &owner);
  EXPECT_EQ(made->ClassName(), "TWidgetB");
  EXPECT_EQ(made->Owner(), &owner);
  EXPECT_EQ(owner.ComponentCount(), 1);
  std::unique_ptr<TComponent> free(registry.Create("TWidgetB", nullptr));
  EXPECT_EQ(free->Owner(), nullptr);
  try {
    registry.Create("TMissing", &owner);
    FAIL() << "an unknown class must raise";
  } catch (const EClassRegistryError& e) {
    EXPECT_NE(std::string(e.what()).find("TMissing"), std::string::npos);
  }
}

TEST(ClassRegistry, SameClassAgainIsHarmlessAnotherClassIsAnErrorUntilUnregistered) {
  TClassRegistry registry;
  registry.Register<TWidgetA>("TWidgetA");
  EXPECT_NO_THROW(registry.Register<TWidgetA>("twidgeta"));
  EXPECT_EQ(registry.Names().size(), 1u);
  EXPECT_THROW(registry.Register<TWidgetB>("TWIDGETA"), EClassRegistryError);
  std::unique_ptr<TComponent> made(registry.Create("TWidgetA", nullptr));
  EXPECT_EQ(made->ClassName(), "TWidgetA");
  EXPECT_THROW(registry.Register({"TNoFactory", typeid(TWidgetA), nullptr, nullptr}), EClassRegistryError);
  EXPECT_THROW(registry.Register<TWidgetA>(""), EClassRegistryError);
  EXPECT_TRUE(registry.Unregister("TWIDGETA"));
  EXPECT_FALSE(registry.Unregister("TWidgetA"));
  EXPECT_EQ(registry.Find("TWidgetA"), nullptr);
  registry.Register<TWidgetB>("TWidgetA");  // now free for another class
  made.reset(registry.Create("TWidgetA", nullptr));
  EXPECT_EQ(made->ClassName(), "TWidgetB");
}

}  // namespace
}  // namespace zd
