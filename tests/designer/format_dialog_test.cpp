// The display-format dialog: composing, reading back, the pages it shows,
// the live sample, and OK against Cancel.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "DesignerFixtures.h"
#include "designer/FormatDialog.h"
#include "expr/DisplayFormat.h"

namespace zd {
namespace {

using test::ensureWidgetsApp;

TEST(FormatDialog, ComposesCodesInTheirOrder) {
  ensureWidgetsApp();
  TfrmFormat dialog;
  QTest::mouseClick(dialog.rbCharacter, Qt::LeftButton);
  dialog.rbUpperCase->setChecked(true);
  dialog.cbTrim->setChecked(true);
  EXPECT_EQ(dialog.GetFormat(), "@C @U @T ");
  EXPECT_EQ(dialog.edFormat->text(), "@C @U @T ");
  QTest::keyClicks(dialog.edStrCustomMask, "000;0;_");
  EXPECT_EQ(dialog.GetFormat(), "@C @U @T @M000;0;_");

  dialog.rbNumber->setChecked(true);
  dialog.cbDefaultNumber->setChecked(true);
  dialog.cbBlankZero->setChecked(true);
  EXPECT_EQ(dialog.GetFormat(), "@N @NB ");

  dialog.rbDateTime->setChecked(true);
  dialog.cbDateType->setCurrentIndex(fsCustom);
  dialog.cbTimeType->setCurrentIndex(fsNone);
  dialog.edDateSeparator->setText(".");
  dialog.cbDateOrder->setCurrentText("DMY");
  dialog.cbDateDay->setCurrentText("01");
  dialog.cbDateMonth->setCurrentText("Jan");
  dialog.cbDateYear->setCurrentText("1999");
  dialog.cbDateDW->setCurrentIndex(2);
  dialog.edDWSeparator->setText(" ");
  EXPECT_EQ(dialog.GetFormat(), "@D @DR. @DO0 @DD1 @DM2 @DY1 @DW2 @DV  ");
  // The engine formats with what was composed.
  EXPECT_EQ(GetTextByFormat("2", dialog.GetFormat(), 0), "01.Jan.1900");
}

TEST(FormatDialog, EveryComposableFormatReadsBackUnchanged) {
  ensureWidgetsApp();
  TfrmFormat dialog;
  const char* formats[] = {
      "",
      "@C ",
      "@C @P ",
      "@C @L @T @M(999) 000-0000;1;_",
      "@N ",
      "@N @NS ",
      "@N @NB @NL @NS ",
      "@N @ND0 @NN3 @NS, @NT. @NR0.01 ",
      "@N @ND9 @NN0 @NS. @NT  @NR1000 @NS ",
      "@N @CT ",
      "@N @ND2 @NN1 @NS. @NR1 @CT @CS€ @CP3 @CN15 ",
      "@D @DL ",
      "@D @DS @T @TL ",
      "@T @TS ",
      "@D @DR- @DO4 @DD0 @DM3 @DY2 @DW1 @DV, ",
      "@T @T12 @TD. @TAam @TPpm @TI0 @TH0 @TM1 @TS2 ",
      "@D @DR  @DO5 @DD2 @DM4 @DY0 @DW0 @DV  @T @T24 @TD  @TA @TP @TI1 @TH1 @TM2 @TS1 ",
  };
  for (const char* format : formats) {
    dialog.SetFormat(format);
    EXPECT_EQ(dialog.GetFormat(), format);
  }

  // Every choice of the lists, composed, read back into a fresh dialog and composed again.
  TfrmFormat reader;
  TFormatChoices c = DefaultFormatChoices();
  auto roundTrip = [&] {
    const std::string composed = ComposeFormat(c);
    reader.SetFormat(composed);
    EXPECT_EQ(reader.GetFormat(), composed);
  };
  // Each list of choices swept in turn; the others keep a valid value.
  auto sweep = [&](int& field, int count) {
    const int kept = field;
    for (field = 0; field < count; ++field) roundTrip();
    field = kept;
  };
  c.Family = TFormatFamily::Number;
  c.DefaultNumber = false;
  c.CurrencySign = true;
  c.DefaultCurrency = false;
  c.Thousands = true;
  sweep(c.Decimals, 10);
  sweep(c.Negatives, 4);
  sweep(c.CurrencyPositive, 4);
  sweep(c.CurrencyNegative, 16);
  for (const char* step : kRoundBySteps) {
    c.RoundBy = step;
    roundTrip();
  }
  c.Family = TFormatFamily::DateTime;
  c.DateType = c.TimeType = fsCustom;
  sweep(c.DateOrder, 6);
  sweep(c.Day, 3);
  sweep(c.Month, 5);
  sweep(c.Year, 3);
  sweep(c.Weekday, 3);
  sweep(c.MarkerPosition, 2);
  sweep(c.Hour, 3);
  sweep(c.Minute, 3);
  sweep(c.Second, 3);
  c.Hour24 = false;
  roundTrip();
  for (int date = 0; date < 4; ++date)
    for (int time = 0; time < 4; ++time) {
      c.DateType = date;
      c.TimeType = time;
      roundTrip();
    }
}

TEST(FormatDialog, ReadsFormatsAsTheEngineUnderstandsThem) {
  ensureWidgetsApp();
  TfrmFormat dialog;
  // "@NS " alone is the scientific flag, not a blank decimal separator.
  dialog.SetFormat("@N @NS ");
  EXPECT_TRUE(dialog.rbNumber->isChecked());
  EXPECT_TRUE(dialog.cbScientific->isChecked());
  EXPECT_TRUE(dialog.cbDefaultNumber->isChecked());
  EXPECT_FALSE(dialog.pnlNumber->isEnabled());
  dialog.SetFormat("@N @NS, @NR0.1 ");
  EXPECT_FALSE(dialog.cbScientific->isChecked());
  EXPECT_EQ(dialog.edDecimalSeparator->text(), ",");
  EXPECT_EQ(dialog.cbRoundBy->currentText(), "0.1");
  EXPECT_FALSE(dialog.cbDefaultNumber->isChecked());
  EXPECT_TRUE(dialog.pnlNumber->isEnabled());

  // Date without a style of its own: no date; the time is custom.
  dialog.SetFormat("@D @T ");
  EXPECT_TRUE(dialog.rbDateTime->isChecked());
  EXPECT_EQ(dialog.cbDateType->currentIndex(), fsNone);
  EXPECT_EQ(dialog.cbTimeType->currentIndex(), fsCustom);
  EXPECT_FALSE(dialog.pnlDate->isEnabled());
  EXPECT_TRUE(dialog.pnlTime->isEnabled());
  // A time alone is printed as a time, so it reads as date/time.
  dialog.SetFormat("@T @TL ");
  EXPECT_TRUE(dialog.rbDateTime->isChecked());
  EXPECT_EQ(dialog.cbTimeType->currentIndex(), fsLong);

  // Unreadable numbers: date order 0, the others 1; out of range keeps the default.
  dialog.SetFormat("@D @DRx @DOa @DDb @DM7 @T @T12 @TIc @THd ");
  EXPECT_EQ(dialog.cbDateOrder->currentIndex(), 0);
  EXPECT_EQ(dialog.cbDateDay->currentIndex(), 1);
  EXPECT_EQ(dialog.cbDateMonth->currentIndex(), 1);
  EXPECT_EQ(dialog.cbAMPMPosition->currentIndex(), 1);
  EXPECT_EQ(dialog.cbTimeHour->currentIndex(), 1);
  EXPECT_TRUE(dialog.rbHour12->isChecked());

  // A text format's codes are looked for before its mask only.
  dialog.SetFormat("@C @M@U ");
  EXPECT_TRUE(dialog.rbStringNone->isChecked());
  EXPECT_EQ(dialog.edStrCustomMask->text(), "@U ");
}

TEST(FormatDialog, ShowsThePagesOfTheFamilyAndALiveSample) {
  ensureWidgetsApp();
  TfrmFormat dialog;
  dialog.resize(500, 400);
  dialog.show();
  auto visiblePages = [&] {
    QStringList pages;
    for (int i = 0; i < dialog.pcFormat->count(); ++i)
      if (dialog.pcFormat->isTabVisible(i)) pages << dialog.pcFormat->tabText(i);
    return pages.join(",");
  };
  QTest::mouseClick(dialog.rbCharacter, Qt::LeftButton);
  EXPECT_EQ(visiblePages(), "String");
  dialog.rbUpperCase->setChecked(true);
  EXPECT_EQ(dialog.lblSample->text(), "TEST SAMPLE");

  QTest::mouseClick(dialog.rbNumber, Qt::LeftButton);
  EXPECT_EQ(visiblePages(), "Number");
  EXPECT_EQ(dialog.pcFormat->currentWidget(), dialog.tsNumber);
  dialog.cbCurrencySign->setChecked(true);
  EXPECT_EQ(visiblePages(), "Number,Currency");
  dialog.cbDefaultCurrency->setChecked(false);
  EXPECT_TRUE(dialog.pnlCurrency->isEnabled());
  dialog.cbCurrencySign->setChecked(false);
  dialog.cbDefaultNumber->setChecked(false);
  dialog.cbDecimals->setCurrentText("1");
  dialog.cbThousands->setChecked(true);
  EXPECT_EQ(dialog.lblSample->text(), "-12,345,678.0");

  QTest::mouseClick(dialog.rbDateTime, Qt::LeftButton);
  EXPECT_EQ(visiblePages(), "Date,Time");
  EXPECT_EQ(dialog.pcFormat->currentWidget(), dialog.tsDate);
  EXPECT_FALSE(dialog.pnlDate->isEnabled());  // short format by default
  dialog.cbDateType->setCurrentIndex(fsCustom);
  dialog.cbTimeType->setCurrentIndex(fsNone);
  dialog.cbDateOrder->setCurrentText("YMD");
  dialog.edDateSeparator->setText("-");
  EXPECT_TRUE(dialog.pnlDate->isEnabled());
  EXPECT_EQ(dialog.lblSample->text().toStdString(), GetTextByFormat("45677.5625", dialog.GetFormat(), 0));
  EXPECT_TRUE(dialog.lblSample->text().startsWith("2025-"));
}

TEST(FormatDialog, OnlyOkChangesTheFormat) {
  ensureWidgetsApp();
  std::string format = "@N @ND2 @NN1 @NS. @NR1 ";
  test::WhenModal<TfrmFormat>([](TfrmFormat* dialog) {
    EXPECT_FALSE(dialog->cbDefaultNumber->isChecked());
    dialog->cbDecimals->setCurrentText("4");
    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
  });
  EXPECT_FALSE(EditDisplayFormat(nullptr, format));
  EXPECT_EQ(format, "@N @ND2 @NN1 @NS. @NR1 ");
  test::WhenModal<TfrmFormat>([](TfrmFormat* dialog) {
    dialog->cbDecimals->setCurrentText("4");
    dialog->cbBlankZero->setChecked(true);
    QTest::mouseClick(dialog->btnOk, Qt::LeftButton);
  });
  EXPECT_TRUE(EditDisplayFormat(nullptr, format));
  EXPECT_EQ(format, "@N @ND4 @NN1 @NS. @NR1 @NB ");
}

}  // namespace
}  // namespace zd
