// The ruler's scale and marks, the number edit as a user types into it, and
// the colour, font and style pickers and the colour button as the designer's
// tool bar uses them.
#include <QColorDialog>
#include <QDialog>
#include <QFontDatabase>
#include <QImage>
#include <QMessageBox>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "DesignerFixtures.h"
#include "designer/controls/ColorButton.h"
#include "designer/controls/ControlColors.h"
#include "designer/controls/ZdBrushPenStyleCombo.h"
#include "designer/controls/ZdColorsCombo.h"
#include "designer/controls/ZdFontCombos.h"
#include "designer/controls/ZdNumberEdit.h"
#include "designer/controls/ZdRuler.h"
#include "host/graphics/QtGraphics.h"
#include "host/locale/Locale.h"

namespace zd {
namespace {

using test::ensureWidgetsApp;
using test::waitUntil;

std::vector<int> tickPositions(const std::vector<TRulerTick>& ticks, bool major) {
  std::vector<int> out;
  for (const TRulerTick& t : ticks)
    if (t.Major == major) out.push_back(t.From.X);
  return out;
}

TEST(RulerScale, CentimetresInchesAndPixelsAt96PixelsPerInch) {
  const TSize text{21, 13};
  TRulerScale cm = LayoutRulerScale(TZdDirection::zddHorizontalUp, TZdMeasure::zdmCentimetre, {120, 25}, 10, 0, text);
  EXPECT_EQ(tickPositions(cm.Ticks, true), (std::vector<int>{10, 46, 82, 118}));
  EXPECT_EQ(tickPositions(cm.Ticks, false), (std::vector<int>{28, 64, 100}));
  ASSERT_EQ(cm.Labels.size(), 3u);  // none at the start of the scale
  EXPECT_EQ(cm.Labels[0].Text, "1");
  EXPECT_EQ(cm.Labels[0].Position, 46);
  EXPECT_EQ(cm.Labels[2].Text, "3");
  // Up: majors from below the labels to the bottom, minors the lower half of that.
  EXPECT_EQ(cm.Ticks[0].From.Y, 15);
  EXPECT_EQ(cm.Ticks[0].To.Y, 25);
  EXPECT_EQ(cm.Ticks[1].From.Y, 20);
  EXPECT_EQ(cm.Labels[0].Across, 0);

  TRulerScale px = LayoutRulerScale(TZdDirection::zddHorizontalDown, TZdMeasure::zdmPixels, {160, 25}, 0, 0, text);
  EXPECT_EQ(tickPositions(px.Ticks, true), (std::vector<int>{0, 50, 100, 150}));
  EXPECT_EQ(tickPositions(px.Ticks, false), (std::vector<int>{25, 75, 125}));
  std::vector<std::string> texts;
  for (const TRulerLabel& l : px.Labels) texts.push_back(l.Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"50", "100", "150"}));
  // Down: ticks hang from the top edge, labels sit at the bottom.
  EXPECT_EQ(px.Ticks[0].From.Y, 0);
  EXPECT_EQ(px.Ticks[0].To.Y, 10);
  EXPECT_EQ(px.Ticks[1].To.Y, 5);
  EXPECT_EQ(px.Labels[0].Across, 12);

  // Inches: thirds, a major every third tick; the end offset stops the scale.
  TRulerScale in = LayoutRulerScale(TZdDirection::zddVerticalLeft, TZdMeasure::zdmInch, {25, 200}, 0, 8, text);
  ASSERT_EQ(in.Ticks.size(), 6u);  // 0, 32 ... 160; 192 lies in the end offset
  EXPECT_TRUE(in.Ticks[3].Major);
  EXPECT_EQ(in.Ticks[3].From, (TPoint{23, 96}));
  EXPECT_EQ(in.Ticks[4].From, (TPoint{24, 128}));
  ASSERT_EQ(in.Labels.size(), 1u);
  EXPECT_EQ(in.Labels[0].Position, 96);
}

QColor pixel(QWidget& w, int x, int y) { return w.grab().toImage().pixelColor(x, y); }

TEST(Ruler, PaintsMarginsAndFollowsThePositionInSteps) {
  ensureWidgetsApp();
  TZdRuler ruler;
  ruler.resize(200, 25);
  ruler.SetColor(clWhite);
  ruler.SetMarginEnd(30);  // without a start margin
  ruler.SetMarginColor(clRed);
  ruler.SetPositionColor(clBlue);
  ruler.SetPosition(100);
  EXPECT_EQ(pixel(ruler, 185, 2), QColor(Qt::red));
  EXPECT_EQ(pixel(ruler, 5, 2), QColor(Qt::white));
  EXPECT_EQ(pixel(ruler, 100, 1), QColor(Qt::blue));
  EXPECT_EQ(pixel(ruler, 36, 24), QColor(Qt::black));  // the 1 cm tick

  ruler.SetPositionStep(5);
  ruler.SetPosition(103);
  EXPECT_EQ(ruler.Position(), 100);
  EXPECT_EQ(pixel(ruler, 103, 1), QColor(Qt::white));
  ruler.SetPosition(95);
  EXPECT_EQ(ruler.Position(), 95);
  EXPECT_EQ(pixel(ruler, 95, 1), QColor(Qt::blue));
  EXPECT_EQ(pixel(ruler, 100, 1), QColor(Qt::white));

  // A vertical ruler shades its start margin across its full width.
  ruler.SetDirection(TZdDirection::zddVerticalLeft);
  ruler.resize(25, 200);
  ruler.SetMarginStart(20);
  ruler.SetOffsetStart(10);
  EXPECT_EQ(pixel(ruler, 0, 15), QColor(Qt::red));
  EXPECT_EQ(pixel(ruler, 0, 5), QColor(Qt::white));
  EXPECT_EQ(ruler.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
}

TEST(Ruler, DesignColourGivesInverseMarginsAndMark) {
  ensureWidgetsApp();
  TZdRuler ruler;
  ruler.ApplyDesignColor(clWhite);
  EXPECT_EQ(ruler.Color(), clWhite);
  EXPECT_EQ(ruler.MarginColor(), clBlack);
  EXPECT_EQ(ruler.PositionColor(), clBlack);
  ruler.ApplyDesignColor(0x123456);
  EXPECT_EQ(ruler.MarginColor(), 0xEDCBA9u);
  // A system colour is inverted as the screen shows it.
  ruler.ApplyDesignColor(clBtnFace);
  EXPECT_EQ(ruler.Color(), clBtnFace);
  const QColor face = QApplication::palette().color(QPalette::Active, QPalette::Button);
  EXPECT_EQ(ruler.MarginColor(), RGBColor(255 - face.red(), 255 - face.green(), 255 - face.blue()));
}

// Two edits in a shown, active window, so that focus can move between them.
struct TTwoEdits {
  QWidget window;
  TZdNumberEdit* first = new TZdNumberEdit(&window);
  TZdNumberEdit* second = new TZdNumberEdit(&window);
  TTwoEdits() {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(first);
    layout->addWidget(second);
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    first->setFocus();
  }
};

TEST(NumberEdit, TypingIsFilteredToNumbers) {
  ensureWidgetsApp();
  TTwoEdits edits;
  TZdNumberEdit& edit = *edits.first;
  int changes = 0;
  edit.OnChange = [&](TZdNumberEdit* sender) { changes += sender == &edit; };

  edit.SetIntegerOnly(true);
  QTest::keyClicks(&edit, "1.5x");
  EXPECT_EQ(edit.text(), "15");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(edit.Value(), 15);

  edit.clear();
  edit.SetIntegerOnly(false);
  QTest::keyClicks(&edit, "1.5.2");
  EXPECT_EQ(edit.text(), "1.52");  // a second separator is refused
  edit.clear();
  QTest::keyClicks(&edit, "-1E-5");
  EXPECT_EQ(edit.text(), "-1E-5");
  EXPECT_DOUBLE_EQ(edit.Value(), -1e-5);

  // A comma or point becomes the system's separator.
  const TLocale saved = currentLocale();
  TLocale comma = saved;
  comma.decimalSeparator = ',';
  setCurrentLocale(comma);
  edit.clear();
  QTest::keyClicks(&edit, "2.5,");
  EXPECT_EQ(edit.text(), "2,5");
  EXPECT_DOUBLE_EQ(edit.Value(), 2.5);
  setCurrentLocale(saved);

  // Enter moves on to the next box; Escape still cancels a dialog.
  QTest::keyClick(&edit, Qt::Key_Return);
  EXPECT_TRUE(edits.second->hasFocus());
  QDialog dialog;
  auto* inDialog = new TZdNumberEdit(&dialog);
  dialog.show();
  inDialog->setFocus();
  QTest::keyClick(inDialog, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
}

TEST(NumberEdit, ValueReadsTheTextAndWritesTheShortestForm) {
  ensureWidgetsApp();
  TZdNumberEdit edit;
  edit.setText("abc");
  EXPECT_EQ(edit.Value(), 0);
  edit.setText("");
  EXPECT_EQ(edit.Value(), 0);
  edit.SetValue(2.5);
  EXPECT_EQ(edit.text(), "2.5");
  edit.setText("2.50");
  edit.SetValue(2.5);  // already reads as 2.5: left as typed
  EXPECT_EQ(edit.text(), "2.50");
  edit.SetValue(0.1 + 0.2);
  EXPECT_EQ(edit.text(), "0.3");
  edit.setText("42");
  EXPECT_EQ(edit.GetIntValue(), 42);
  edit.setText("4.2");
  EXPECT_EQ(edit.GetIntValue(), 0);
  edit.SetIntegerOnly(true);
  EXPECT_EQ(edit.Value(), 0);  // not a whole number
}

TEST(NumberEdit, LeavingWithAValueOutOfRangeIsRefused) {
  ensureWidgetsApp();
  TTwoEdits edits;
  TZdNumberEdit& edit = *edits.first;
  edit.SetMinValue(0);
  edit.SetMaxValue(1000);
  edit.setText("1000");
  EXPECT_EQ(edit.RangeError(), "");
  edit.setText("1001");
  EXPECT_EQ(edit.RangeError(), "Value 1,001.00 out of range 0.00..1,000.00");

  QString shown;
  test::WhenModal([&](QWidget* box) {
    shown = static_cast<QMessageBox*>(box)->text();
    box->close();
  });
  edits.second->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(waitUntil([&] { return !shown.isEmpty(); }));
  EXPECT_EQ(shown, "Value 1,001.00 out of range 0.00..1,000.00");
  EXPECT_TRUE(waitUntil([&] { return edit.hasFocus(); }));  // back in the box to correct it

  edit.setText("1000");
  edits.second->setFocus(Qt::TabFocusReason);
  QTest::qWait(20);
  EXPECT_TRUE(edits.second->hasFocus());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ColorsCombo, ListsWhatItsModeAsksFor) {
  ensureWidgetsApp();
  TZdColorsCombo combo;
  ASSERT_EQ(combo.count(), 42);
  EXPECT_EQ(combo.itemText(0), "Black");
  EXPECT_EQ(combo.itemText(9), "Red");
  EXPECT_EQ(combo.itemText(16), "ScrollBar");
  EXPECT_EQ(combo.ItemColor(16), 0x80000000u);
  EXPECT_EQ(combo.itemText(40), "InfoBk");
  EXPECT_EQ(combo.itemText(41), "Custom...");

  combo.SetColorMode(cmColor | cmStandardColors);
  EXPECT_EQ(combo.count(), 16);
  combo.SetColorMode(cmName | cmSystemColors | cmCustomItem);
  ASSERT_EQ(combo.count(), 26);
  EXPECT_EQ(combo.itemText(0), "ScrollBar");
  combo.SetColorNames({"Schwarz", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "Bildlaufleiste"});
  EXPECT_EQ(combo.itemText(0), "Bildlaufleiste");
  combo.SetColorMode(kAllColorModes);
  EXPECT_EQ(combo.itemText(0), "Schwarz");
  EXPECT_EQ(combo.itemText(1), "Maroon");
}

TEST(ColorsCombo, SelectingStandardAndCustomColours) {
  ensureWidgetsApp();
  TZdColorsCombo combo;
  int changes = 0, emitted = 0;
  combo.OnChange = [&](TZdColorsCombo*) { ++changes; };
  QObject::connect(&combo, &TZdColorsCombo::changed, [&] { ++emitted; });

  combo.SetColorValue(clRed);
  EXPECT_EQ(combo.currentIndex(), 9);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(emitted, 1);
  combo.SetColorValue(clRed);
  EXPECT_EQ(changes, 1);
  combo.SetColorValue(0x123456);
  EXPECT_EQ(combo.currentIndex(), 41);
  EXPECT_EQ(combo.ItemColor(41), 0x123456u);
  EXPECT_EQ(combo.ColorValue(), 0x123456u);
  EXPECT_EQ(changes, 2);

  // Without a custom item an unlisted colour changes nothing.
  combo.SetColorMode(cmColor | cmName | cmStandardColors);
  combo.SetColorValue(clRed);
  combo.SetColorValue(0x654321);
  EXPECT_EQ(combo.ColorValue(), clRed);
  EXPECT_EQ(combo.currentIndex(), 9);
  EXPECT_EQ(changes, 3);

  // The closed box shows the swatch of the selection.
  combo.resize(150, 24);
  auto swatch = [&] { return combo.grab().toImage().convertToFormat(QImage::Format_RGB32).pixelColor(10, 12); };
  EXPECT_EQ(swatch(), QColor(Qt::red));
  combo.setEnabled(false);  // and fades when disabled
  EXPECT_NE(swatch(), QColor(Qt::red));
}

TEST(ColorsCombo, TheCustomItemAsksForAColour) {
  ensureWidgetsApp();
  TZdColorsCombo combo;
  combo.SetColorValue(clGreen);
  test::WhenModal([](QWidget* dialog) {
    auto* colors = static_cast<QColorDialog*>(dialog);
    colors->setCurrentColor(ToQColor(0x123456));
    colors->accept();
  });
  combo.setCurrentIndex(41);
  emit combo.activated(41);
  EXPECT_EQ(combo.ColorValue(), 0x123456u);
  EXPECT_EQ(combo.currentIndex(), 41);

  test::WhenModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
  combo.SetColorValue(clGreen);
  combo.setCurrentIndex(41);
  emit combo.activated(41);
  EXPECT_EQ(combo.ColorValue(), clGreen);  // cancelled
  EXPECT_EQ(combo.currentIndex(), 2);

  combo.setCurrentIndex(12);  // picking a listed colour
  emit combo.activated(12);
  EXPECT_EQ(combo.ColorValue(), clBlue);
}

TEST(FontCombos, NamesSelectIgnoringCaseAndKeepTheSizesInStep) {
  ensureWidgetsApp();
  TZdFontNamesCombo names;
  TZdFontSizesCombo sizes;
  ASSERT_GT(names.count(), 0) << "no fonts installed";
  names.SetFontSizesCombo(&sizes);
  std::vector<std::string> changed;
  names.OnChange = [&](TZdFontNamesCombo* sender) { changed.push_back(sender->FontName()); };

  const QString family = names.itemText(0);
  names.SetFontName(family.toUpper().toStdString());
  EXPECT_EQ(names.FontName(), family.toStdString());
  EXPECT_EQ(sizes.FontName(), family.toStdString());
  EXPECT_EQ(changed, std::vector<std::string>{family.toStdString()});

  names.SetFontName("No Such Family");
  EXPECT_EQ(names.currentIndex(), -1);
  EXPECT_EQ(names.FontName(), "");
  EXPECT_EQ(sizes.FontName(), "");

  // Listed sorted, without repeats.
  for (int i = 1; i < names.count(); ++i)
    EXPECT_LT(names.itemText(i - 1).compare(names.itemText(i), Qt::CaseInsensitive), 0);

  // A filter that drops the chosen family clears the choice and says so.
  names.SetFontName(family.toStdString());
  changed.clear();
  names.SetOptions(foFixedPitchOnly);
  for (int i = 0; i < names.count(); ++i) EXPECT_TRUE(QFontDatabase::isFixedPitch(names.itemText(i)));
  names.SetOptions(foOEMFontsOnly);
  EXPECT_EQ(names.count(), 0);
  EXPECT_EQ(changed, std::vector<std::string>{""});
}

TEST(FontCombos, OutlineFontsOfferTheStandardSizes) {
  ensureWidgetsApp();
  TZdFontSizesCombo sizes;
  QString outline;
  for (const QString& family : QFontDatabase::families())
    if (QFontDatabase::isSmoothlyScalable(family)) outline = family;
  ASSERT_FALSE(outline.isEmpty()) << "no outline font installed";
  sizes.SetFontSize(13);
  sizes.SetFontName(outline.toStdString());
  ASSERT_EQ(sizes.count(), 16);
  EXPECT_EQ(sizes.itemText(0), "8");
  EXPECT_EQ(sizes.itemText(15), "72");
  EXPECT_EQ(sizes.FontSize(), 13);  // the shown size survives the new list

  int changes = 0;
  sizes.OnChange = [&](TZdFontSizesCombo*) { ++changes; };
  sizes.setFocus();
  sizes.lineEdit()->selectAll();
  QTest::keyClicks(sizes.lineEdit(), "15");
  QTest::keyClick(sizes.lineEdit(), Qt::Key_Return);
  EXPECT_EQ(sizes.FontSize(), 15);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(sizes.count(), 16);  // typed sizes are not added to the list
  QTest::keyClick(sizes.lineEdit(), Qt::Key_Return);
  EXPECT_EQ(changes, 1);  // the same size again is no change
  sizes.setCurrentIndex(3);
  emit sizes.activated(3);
  EXPECT_EQ(sizes.FontSize(), 11);
  EXPECT_EQ(changes, 2);
}

TEST(BrushPenStyleCombo, ListsAndSelectsStylesOfItsMode) {
  ensureWidgetsApp();
  TZdBrushPenStyleCombo combo;
  ASSERT_EQ(combo.count(), 7);
  EXPECT_EQ(combo.itemText(4), "FDiagonal");
  int changes = 0;
  combo.OnChange = [&](TZdBrushPenStyleCombo*) { ++changes; };

  combo.SetBrushStyle(TBrushStyle::bsDiagCross);  // not offered
  EXPECT_EQ(combo.BrushStyle(), TBrushStyle::bsSolid);
  EXPECT_EQ(changes, 0);
  combo.SetBrushStyle(TBrushStyle::bsCross);
  EXPECT_EQ(combo.currentIndex(), 6);
  EXPECT_EQ(changes, 1);
  combo.setCurrentIndex(2);  // the user picks Horizontal
  emit combo.activated(2);
  EXPECT_EQ(combo.BrushStyle(), TBrushStyle::bsHorizontal);
  EXPECT_EQ(changes, 2);

  combo.SetPenStyle(TPenStyle::psDot);  // kept for pen mode
  combo.SetBrushPenMode(TZdBrushPenMode::bpmPen);
  ASSERT_EQ(combo.count(), 6);
  EXPECT_EQ(combo.itemText(4), "DashDotDot");
  EXPECT_EQ(combo.currentIndex(), 2);
  combo.SetPenNames({"", "Strich"});
  EXPECT_EQ(combo.itemText(1), "Strich");
  EXPECT_EQ(combo.itemText(0), "Solid");

  // Without names the solid line spans the whole box at mid height.
  combo.SetPenStyle(TPenStyle::psSolid);
  combo.SetShowNames(false);
  combo.resize(160, 24);
  const QImage image = combo.grab().toImage();
  int black = 0;
  for (int x = 0; x < image.width(); ++x) black += image.pixelColor(x, image.height() / 2) == QColor(Qt::black);
  EXPECT_GT(black, 80);
}

TEST(ColorButton, ColourPartClicksAndThePaletteSetsTheColour) {
  ensureWidgetsApp();
  QWidget window;
  TColorButton button(&window);
  window.resize(100, 60);
  window.show();
  int clicks = 0, changes = 0;
  button.OnClick = [&](TColorButton*) { ++clicks; };
  button.OnChange = [&](TZdCustomColorBtn* sender) { changes += sender == &button; };

  // Pressed on the colour part but released outside: no click.
  QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(button.Down(), TDownButton::dbColor);
  QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(60, 40));
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(button.Down(), TDownButton::dbNone);
  QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button.Palette(), nullptr);

  button.SetColor(clBlue);
  EXPECT_EQ(button.toolTip(), "Blue");
  EXPECT_EQ(changes, 1);
  QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(button.width() - 2, 5));
  TZdColorWin* palette = button.Palette();
  ASSERT_NE(palette, nullptr);
  EXPECT_TRUE(palette->isVisible());
  EXPECT_EQ(palette->size(), QSize(72, 72));
  EXPECT_TRUE(palette->Cells()[12]->Selected());  // blue
  EXPECT_FALSE(palette->Cells()[9]->Selected());
  EXPECT_EQ(palette->Cells()[9]->pos(), QPoint(18, 36));

  QTest::mouseClick(palette->Cells()[9], Qt::LeftButton, {}, QPoint(9, 9));  // red
  EXPECT_EQ(button.Color(), clRed);
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(palette->isVisible());
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(palette->Cells()[9]->Selected());

  button.SetColor(0x123456);
  EXPECT_EQ(button.toolTip(), "$00123456");
  int drops = 0;
  button.OnDropClick = [&](TColorButton*) { ++drops; };
  QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(button.width() - 2, 5));
  EXPECT_EQ(drops, 1);
  EXPECT_FALSE(palette->isVisible());

  // The colour bar under the glyph shows the colour.
  auto showsTheColour = [&] {
    bool barFound = false;
    const QImage image = button.grab().toImage();
    for (int y = 0; y < image.height(); ++y) barFound |= image.pixelColor(12, y) == ToQColor(0x123456);
    return barFound;
  };
  EXPECT_TRUE(showsTheColour());
  // Disabled, it looks it: the colour is faded.
  button.setEnabled(false);
  EXPECT_FALSE(showsTheColour());
}

}  // namespace
}  // namespace zd
