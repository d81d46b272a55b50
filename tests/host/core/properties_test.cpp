#include "host/core/Properties.h"

#include "host/core/PropertyChanges.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zd {
namespace {

enum class TShape { stCircle, stSquare, stTriangle };
const TEnumNames kShapeNames{"TShape", {"stCircle", "stSquare", "stTriangle"}};
const TEnumNames kStyleNames{"TFontStyles", {"fsBold", "fsItalic", "fsUnderline"}};

class TTarget : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TTarget"; }
};

class TBoxFrame : public TPersistent {
 public:
  int width = 1;
  static inline int copies = 0;  // Assign calls, so that work done for listeners shows
  std::string ClassName() const override { return "TBoxFrame"; }
  const TClassProperties* PublishedProperties() const override;
  void Assign(const TPersistent& source) override {
    width = dynamic_cast<const TBoxFrame&>(source).width;
    ++copies;
  }
};

const TClassProperties* TBoxFrame::PublishedProperties() const {
  static const TClassProperties props =
      TPropertiesOf<TBoxFrame>("TBoxFrame", nullptr)
          .Integer("Width", [](const TBoxFrame& f) { return f.width; },
                   [](TBoxFrame& f, int v) { f.width = v; }, 1)
          .Build();
  return &props;
}

class TLineItem : public TCollectionItem {
 public:
  std::string text;
  void Assign(const TPersistent& source) override { text = dynamic_cast<const TLineItem&>(source).text; }
};

class TBox : public TComponent {
 public:
  using TComponent::TComponent;
  int Height() const { return height_; }
  void SetHeight(int v) { height_ = v; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  TShape Shape() const { return shape_; }
  void SetShape(TShape v) { shape_ = v; }
  unsigned Style() const { return style_; }
  void SetStyle(unsigned v) { style_ = v; }

  int tag = 0;
  double ratio = 1.5;
  uint32_t color = 0xFFFFFF;
  TVariant value;
  TBytes picture;
  std::string onPrint;
  TTarget* target = nullptr;
  TBoxFrame frame;
  TStringList lines;
  TOwnedCollection<TLineItem> items{this};
  bool storeTag = true;

  static const TClassProperties& Props();
  const TClassProperties* PublishedProperties() const override { return &Props(); }

 private:
  int height_ = 100;
  bool transparent_ = true;
  std::string caption_;
  TShape shape_ = TShape::stCircle;
  unsigned style_ = 0;
};

const TClassProperties& TBox::Props() {
  static const TClassProperties props =
      TPropertiesOf<TBox>("TBox", nullptr)
          .Integer("Height", &TBox::Height, &TBox::SetHeight, 100)
          .Boolean("Transparent", &TBox::Transparent, &TBox::SetTransparent, true)
          .String("Caption", &TBox::Caption, &TBox::SetCaption)
          .Enum("Shape", &TBox::Shape, &TBox::SetShape, kShapeNames, TShape::stCircle)
          .Set("Style", &TBox::Style, &TBox::SetStyle, kStyleNames, 0u)
          .Integer("Tag", [](const TBox& b) { return b.tag; }, [](TBox& b, int v) { b.tag = v; })
          .StoredWhen([](const TBox& b) { return b.storeTag; })
          .Float("Ratio", [](const TBox& b) { return b.ratio; }, [](TBox& b, double v) { b.ratio = v; })
          .Color("Color", [](const TBox& b) { return b.color; }, [](TBox& b, uint32_t v) { b.color = v; },
                 0xFFFFFFu)
          .Variant("Value", [](const TBox& b) { return b.value; },
                   [](TBox& b, const TVariant& v) { b.value = v; })
          .Binary("Picture", [](const TBox& b) { return b.picture; },
                  [](TBox& b, const TBytes& v) { b.picture = v; })
          .Method("OnPrint", [](const TBox& b) { return b.onPrint; },
                  [](TBox& b, const std::string& v) { b.onPrint = v; })
          .Reference("Target", [](const TBox& b) { return b.target; }, [](TBox& b, TTarget* t) { b.target = t; })
          .Object("Frame", [](TBox& b) -> TBoxFrame& { return b.frame; })
          .StringList("Lines", [](TBox& b) { return &b.lines; })
          .Collection("Items", [](TBox& b) -> TCollection& { return b.items; })
          .Build();
  return props;
}

class TTallBox : public TBox {
 public:
  using TBox::TBox;
  int extra = 0;
  static const TClassProperties& Props() {
    static const TClassProperties props =
        TPropertiesOf<TTallBox>("TTallBox", &TBox::Props())
            .Integer("Extra", [](const TTallBox& b) { return b.extra; }, [](TTallBox& b, int v) { b.extra = v; })
            .Boolean("Transparent", &TBox::Transparent, &TBox::SetTransparent, false)
            .Build();
    return props;
  }
};

std::vector<std::string> names(const TClassProperties& cls) {
  std::vector<std::string> r;
  for (const TPropertyInfo* p : cls.Properties()) r.push_back(p->Name());
  return r;
}

TEST(PropertyDeclaration, InheritedPropertiesComeFirstAndRedeclarationKeepsItsPlace) {
  const std::vector<std::string> base{"Height", "Transparent", "Caption", "Shape", "Style",
                                      "Tag", "Ratio", "Color", "Value", "Picture",
                                      "OnPrint", "Target", "Frame", "Lines", "Items"};
  EXPECT_EQ(names(TBox::Props()), base);
  std::vector<std::string> tall = base;
  tall.push_back("Extra");
  EXPECT_EQ(names(TTallBox::Props()), tall);
  EXPECT_EQ(TTallBox::Props().Properties()[1], TTallBox::Props().Find("transparent"));
  EXPECT_EQ(TTallBox::Props().Get("Transparent").DefaultValue(), TVariant(false));
  EXPECT_EQ(TBox::Props().Get("Transparent").DefaultValue(), TVariant(true));
  EXPECT_TRUE(TTallBox::Props().InheritsFrom(TBox::Props()));
  EXPECT_FALSE(TBox::Props().InheritsFrom(TTallBox::Props()));
}

TEST(PropertyDeclaration, LookupIgnoresCaseAndMissingNamesAreReported) {
  const TClassProperties& cls = TTallBox::Props();
  EXPECT_EQ(cls.Find("HEIGHT"), TBox::Props().Find("Height"));
  EXPECT_EQ(cls.Find("Width"), nullptr);
  try {
    cls.Get("Width");
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_NE(std::string(e.what()).find("Width"), std::string::npos);
  }
  auto twice = [] {
    TPropertiesOf<TBox>("TBad", nullptr)
        .Integer("Height", &TBox::Height, &TBox::SetHeight)
        .Integer("HEIGHT", &TBox::Height, &TBox::SetHeight);
  };
  EXPECT_THROW(twice(), EPropertyError);
}

TEST(PropertyDefaults, ValueEqualToDeclaredDefaultIsNotStored) {
  TBox box;
  const TClassProperties& cls = TBox::Props();
  auto isDefault = [&](const char* name) { return IsStoredDefault(box, cls.Get(name)); };
  const char* declared[] = {"Height", "Transparent", "Shape", "Style", "Color"};
  for (const char* name : declared) EXPECT_TRUE(isDefault(name)) << name;
  box.SetHeight(101);
  box.SetTransparent(false);
  box.SetShape(TShape::stSquare);
  box.SetStyle(2);
  box.color = 0;
  for (const char* name : declared) EXPECT_FALSE(isDefault(name)) << name;
}

TEST(PropertyDefaults, WithoutADeclaredDefaultOrNotStored) {
  TBox box;
  const TClassProperties& cls = TBox::Props();
  auto isDefault = [&](const char* name) { return IsStoredDefault(box, cls.Get(name)); };
  // Numbers without a default are always written, even when zero.
  EXPECT_FALSE(isDefault("Tag"));
  EXPECT_FALSE(isDefault("Ratio"));
  // Empty texts, references, pictures, lists and Null variants are not.
  for (const char* name : {"Caption", "OnPrint", "Target", "Picture", "Lines", "Value"})
    EXPECT_TRUE(isDefault(name)) << name;
  TTarget target;
  box.SetCaption("x");
  box.onPrint = "BoxPrint";
  box.target = &target;
  box.picture = {1};
  box.lines.Add("");
  box.value = TVariant(0);
  for (const char* name : {"Caption", "OnPrint", "Target", "Picture", "Lines", "Value"})
    EXPECT_FALSE(isDefault(name)) << name;
  // Owned objects and collections are decided by their contents.
  EXPECT_FALSE(isDefault("Frame"));
  EXPECT_FALSE(isDefault("Items"));
  EXPECT_THROW(cls.Get("Tag").DefaultValue(), EPropertyError);
  // A false stored condition keeps even a set value out.
  box.tag = 7;
  box.storeTag = false;
  EXPECT_TRUE(isDefault("Tag"));
}

TEST(PropertyEnumerations, NamesRoundTripAndBadNamesAreClear) {
  TBox box;
  const TPropertyInfo& shape = TBox::Props().Get("Shape");
  EXPECT_EQ(ValueOf(box, shape), TVariant("stCircle"));
  SetValue(box, shape, "STTRIANGLE");
  EXPECT_EQ(box.Shape(), TShape::stTriangle);
  EXPECT_EQ(ValueOf(box, shape), TVariant("stTriangle"));
  SetValue(box, shape, 1);
  EXPECT_EQ(box.Shape(), TShape::stSquare);
  EXPECT_EQ(shape.DefaultValue(), TVariant("stCircle"));
  try {
    SetValue(box, shape, "stHexagon");
    FAIL();
  } catch (const EPropertyError& e) {
    const std::string msg = e.what();
    EXPECT_NE(msg.find("stHexagon"), std::string::npos) << msg;
    EXPECT_NE(msg.find("TShape"), std::string::npos) << msg;
  }
  EXPECT_THROW(SetValue(box, shape, 3), EPropertyError);
  EXPECT_THROW(SetValue(box, shape, -1), EPropertyError);
  EXPECT_EQ(box.Shape(), TShape::stSquare);
}

TEST(PropertySets, MemberNamesRoundTrip) {
  TBox box;
  const TPropertyInfo& style = TBox::Props().Get("Style");
  EXPECT_EQ(ValueOf(box, style), TVariant("[]"));
  box.SetStyle(1 | 4);
  EXPECT_EQ(ValueOf(box, style), TVariant("[fsBold,fsUnderline]"));
  SetValue(box, style, " [ fsItalic , FSBOLD ] ");
  EXPECT_EQ(box.Style(), 3u);
  SetValue(box, style, "fsUnderline");
  EXPECT_EQ(box.Style(), 4u);
  SetValue(box, style, "[]");
  EXPECT_EQ(box.Style(), 0u);
  EXPECT_EQ(style.SetMembers(6), (std::vector<std::string>{"fsItalic", "fsUnderline"}));
  EXPECT_THROW(SetValue(box, style, "[fsBold,fsStrikeOut]"), EPropertyError);
  EXPECT_THROW(SetValue(box, style, "[fsBold,,fsItalic]"), EPropertyError);
  EXPECT_THROW(SetValue(box, style, 8), EPropertyError);  // no fourth member
  EXPECT_EQ(box.Style(), 0u);
}

TEST(PropertyConversions, InspectorTextIsParsedStrictly) {
  TBox box;
  const TClassProperties& cls = TBox::Props();
  SetValue(box, cls.Get("Height"), " 42 ");
  EXPECT_EQ(box.Height(), 42);
  SetValue(box, cls.Get("Height"), "$FF");
  EXPECT_EQ(box.Height(), 255);
  SetValue(box, cls.Get("Height"), 12.0);
  EXPECT_EQ(box.Height(), 12);
  EXPECT_THROW(SetValue(box, cls.Get("Height"), "12px"), EPropertyError);
  EXPECT_THROW(SetValue(box, cls.Get("Height"), 1.5), EPropertyError);
  EXPECT_THROW(SetValue(box, cls.Get("Height"), int64_t(1) << 40), EPropertyError);
  EXPECT_EQ(box.Height(), 12);

  SetValue(box, cls.Get("Transparent"), "false");
  EXPECT_FALSE(box.Transparent());
  EXPECT_THROW(SetValue(box, cls.Get("Transparent"), "maybe"), EPropertyError);

  SetValue(box, cls.Get("Ratio"), "2.25");
  EXPECT_DOUBLE_EQ(box.ratio, 2.25);
  SetValue(box, cls.Get("Ratio"), 3);
  EXPECT_EQ(ValueOf(box, cls.Get("Ratio")), TVariant(3.0));

  SetValue(box, cls.Get("Color"), "clRed");
  EXPECT_EQ(box.color, 0x0000FFu);
  SetValue(box, cls.Get("Color"), -2147483633);  // a system colour as a 32-bit stream stores it
  EXPECT_EQ(box.color, 0x8000000Fu);
  EXPECT_THROW(SetValue(box, cls.Get("Color"), "clNoSuchColour"), EPropertyError);

  EXPECT_THROW(SetValue(box, cls.Get("Caption"), 5), EPropertyError);
  SetValue(box, cls.Get("Lines"), "one\r\ntwo");
  EXPECT_EQ(box.lines.Count(), 2);
  EXPECT_EQ(ValueOf(box, cls.Get("Lines")), TVariant("one\r\ntwo\r\n"));
  SetValue(box, cls.Get("Picture"), std::string("\x00\x01", 2));
  EXPECT_EQ(box.picture, (TBytes{0, 1}));
  SetValue(box, cls.Get("Value"), TVariant(TDateTime{2.5}));
  EXPECT_EQ(box.value, TVariant(TDateTime{2.5}));
}

TEST(PropertyReferences, ResolvedByNameAndCheckedForClass) {
  TComponent form;
  auto* target = new TTarget(&form);
  target->SetName("Target1");
  auto* other = new TComponent(&form);
  other->SetName("Other");
  TBox box;
  const TPropertyInfo& ref = TBox::Props().Get("Target");
  auto resolve = [&](const std::string& n) { return form.FindComponent(n); };
  EXPECT_TRUE(ref.Fits(*target));
  EXPECT_FALSE(ref.Fits(*other));
  SetValue(box, ref, "target1", resolve);
  EXPECT_EQ(box.target, target);
  EXPECT_EQ(ValueOf(box, ref), TVariant("Target1"));
  EXPECT_THROW(SetValue(box, ref, "Other", resolve), EPropertyError);  // wrong class
  EXPECT_THROW(SetValue(box, ref, "Nobody", resolve), EPropertyError);
  EXPECT_THROW(SetValue(box, ref, "Target1"), EPropertyError);  // no resolver
  EXPECT_EQ(box.target, target);
  SetValue(box, ref, "");
  EXPECT_EQ(box.target, nullptr);
}

TEST(PropertyObjects, NestedObjectsAreReachedNotSet) {
  TBox box;
  const TClassProperties& cls = TBox::Props();
  TPersistent* frame = cls.Get("Frame").GetObject(box);
  EXPECT_EQ(frame, &box.frame);
  const TPropertyInfo& width = frame->PublishedProperties()->Get("Width");
  SetValue(*frame, width, 3);
  EXPECT_EQ(box.frame.width, 3);
  EXPECT_EQ(cls.Get("Items").GetObject(box), &box.items);
  EXPECT_EQ(cls.Get("Lines").GetObject(box), &box.lines);
  EXPECT_THROW(ValueOf(box, cls.Get("Frame")), EPropertyError);
  EXPECT_THROW(SetValue(box, cls.Get("Items"), "x"), EPropertyError);
  // Typed access checks the kind.
  EXPECT_THROW(cls.Get("Height").GetFloat(box), EPropertyError);
  EXPECT_THROW(cls.Get("Caption").GetObject(box), EPropertyError);
  EXPECT_THROW(cls.Get("Height").SetOrdinal(box, int64_t(1) << 33), EPropertyError);
}

struct THeardChange {
  const TPersistent* object;
  const TPropertyInfo* property;
  TPropertyValue before, after;
};

TEST(PropertyChanges, EditsThroughDescriptorsAreHeardWithOldAndNewValues) {
  TBox box;
  const TClassProperties& cls = TBox::Props();
  std::vector<THeardChange> heard;
  auto listening = std::make_unique<TPropertySubscription>(ListenToPropertyChanges(
      [&](const TPropertyChange& c) { heard.push_back({&c.object, &c.property, c.oldValue, c.newValue}); }));

  SetValue(box, cls.Get("Height"), "42");
  cls.Get("Caption").SetString(box, "Total");
  TBoxFrame wide;
  wide.width = 3;
  cls.Get("Frame").AssignObject(box, wide);
  TOwnedCollection<TLineItem> lines;
  lines.Add()->text = "first";
  cls.Get("Items").AssignObject(box, lines);
  SetValue(box.frame, box.frame.PublishedProperties()->Get("Width"), 4);
  EXPECT_THROW(SetValue(box, cls.Get("Height"), "12px"), EPropertyError);  // refused: nothing changed

  ASSERT_EQ(heard.size(), 5u);
  EXPECT_EQ(heard[0].object, &box);
  EXPECT_EQ(heard[0].property, &cls.Get("Height"));
  EXPECT_EQ(heard[0].before.value, TVariant(int64_t(100)));
  EXPECT_EQ(heard[0].after.value, TVariant(int64_t(42)));
  EXPECT_EQ(heard[1].property, &cls.Get("Caption"));
  EXPECT_EQ(heard[1].before.value, TVariant(""));
  EXPECT_EQ(heard[1].after.value, TVariant("Total"));
  // Owned objects come as copies that stay as they were when the box changes on.
  EXPECT_EQ(heard[2].property, &cls.Get("Frame"));
  ASSERT_TRUE(heard[2].before.copy && heard[2].after.copy);
  EXPECT_NE(heard[2].after.copy.get(), &box.frame);
  EXPECT_EQ(dynamic_cast<const TBoxFrame&>(*heard[2].before.copy).width, 1);
  EXPECT_EQ(dynamic_cast<const TBoxFrame&>(*heard[2].after.copy).width, 3);
  EXPECT_EQ(heard[3].property, &cls.Get("Items"));
  const auto& itemsBefore = dynamic_cast<const TCollection&>(*heard[3].before.copy);
  const auto& itemsAfter = dynamic_cast<const TCollection&>(*heard[3].after.copy);
  EXPECT_EQ(itemsBefore.Count(), 0);
  ASSERT_EQ(itemsAfter.Count(), 1);
  EXPECT_EQ(static_cast<const TLineItem*>(itemsAfter.Items(0))->text, "first");
  // A nested object's property is reported on the nested object.
  EXPECT_EQ(heard[4].object, &box.frame);
  EXPECT_EQ(heard[4].before.value, TVariant(int64_t(3)));
  EXPECT_EQ(heard[4].after.value, TVariant(int64_t(4)));

  // Undo: the old value goes back through the same path.
  cls.Get("Frame").AssignObject(box, *heard[2].before.copy);
  EXPECT_EQ(box.frame.width, 1);

  listening.reset();
  heard.clear();
  TBoxFrame::copies = 0;
  SetValue(box, cls.Get("Height"), 7);
  cls.Get("Frame").AssignObject(box, wide);
  EXPECT_TRUE(heard.empty());
  EXPECT_EQ(TBoxFrame::copies, 1) << "without listeners no old or new value is copied";
  EXPECT_EQ(box.Height(), 7);
}

}  // namespace
}  // namespace zd
