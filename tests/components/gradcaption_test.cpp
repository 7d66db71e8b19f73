// TGradientCaption on real single-border windows: pixels of the bar, the hook chain, setters.
#include "components/gradcaption.h"

#include "tests/support/ui_support.h"
#include "ui/application.h"
#include "ui/metrics.h"

#include <QApplication>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace vardel {
namespace {

using test::waitUntil;
using ui::BorderStyle;

// Counts what reaches the handler beneath the bar and passes it on to the form's own frame.
class BeneathHook : public ui::NonClientHook {
 public:
  explicit BeneathHook(ui::Form& form) : previous_(form.setNonClientHook(this)) {}
  void paintNonClient(QPainter& painter, const QRegion& region) override {
    painted += region;
    previous_->paintNonClient(painter, region);
  }
  void activate(bool active, const QRegion& allowed) override {
    activations.push_back(active);
    lastAllowed = allowed;
    previous_->activate(active, allowed);
  }
  void systemSettingsChanged() override { ++settings; }
  QRegion painted;
  QRegion lastAllowed;
  std::vector<bool> activations;
  int settings = 0;
  ui::NonClientHook* previous_;
};

// A player window: single border, no border icons, client 295 x 296, caption " ".
std::unique_ptr<ui::Form> playerForm() {
  auto form = std::make_unique<ui::Form>();
  form->setBorderStyle(BorderStyle::bsSingle);
  form->setBorderIcons(0);
  form->setClientSize(295, 296);
  form->setCaption(QStringLiteral(" "));
  form->setColor(ui::clWhite);
  return form;
}

// The bar as the player windows configure it.
TGradientCaption* playerCaption(ui::Form& form) {
  auto* caption = new TGradientCaption(&form);
  caption->AppNameText()->setCaption(QStringLiteral("Ondravia VARDEL v1.0"));
  caption->AppNameText()->setFontKind(fkSystemB);
  caption->CaptionText()->setCaption(QStringLiteral(" "));
  caption->CaptionText()->setFontKind(fkSystem);
  caption->CompanyText()->setCaption(QStringLiteral("Ralvek's"));
  caption->CompanyText()->setFont(ui::FontData{QStringLiteral("MS Sans Serif"), -11, ui::fsBold});
  caption->CompanyText()->setVisible(false);
  caption->setColor(ui::clNavy);
  caption->setNumColors(256);
  return caption;
}

QColor sys(int index) { return ui::toQColor(ui::kSystemColorFlag | index); }

void activate(QWidget& window) {
  window.show();
  window.activateWindow();
  ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == &window; }, 3000));
}

// Columns of the caption (row range y0..y1) where the text colour appears, give or take the
// smoothing of the glyphs' edges.
std::vector<int> textColumns(const QImage& shot, QColor text, int x0, int x1, int y0 = 4, int y1 = 20) {
  const auto near = [&text](QColor c) {
    return std::abs(c.red() - text.red()) + std::abs(c.green() - text.green()) + std::abs(c.blue() - text.blue()) <= 96;
  };
  std::vector<int> columns;
  for (int x = x0; x < x1; ++x) {
    for (int y = y0; y < y1; ++y) {
      if (near(shot.pixelColor(x, y))) {
        columns.push_back(x);
        break;
      }
    }
  }
  return columns;
}

TEST(GradientCaption, ActivePlayerBarRunsFromNavyToTheActiveCaptionColour) {
  auto form = playerForm();
  TGradientCaption* caption = playerCaption(*form);
  activate(*form);
  ASSERT_TRUE(waitUntil([&] { return caption->IsOwnerActive(); }));
  const QImage shot = form->grab().toImage();
  shot.save(QStringLiteral(VARDEL_TEST_ARTIFACTS "/gradcaption-active.png"));
  EXPECT_EQ(caption->GetCaptionRect(), (WinRect{3, 3, 298, 21}));
  EXPECT_EQ(shot.pixelColor(3, 4), ui::toQColor(ui::clNavy));
  EXPECT_EQ(shot.pixelColor(297, 4), sys(ui::COLOR_ACTIVECAPTION));
  EXPECT_EQ(shot.pixelColor(297, 20), sys(ui::COLOR_ACTIVECAPTION));
  // A band in the middle has the computed colour.
  const auto bands = gradientBands(ui::clNavy, ui::sysColor(ui::COLOR_ACTIVECAPTION), 256, 3, 295);
  EXPECT_EQ(shot.pixelColor(bands[200].left, 4), ui::toQColor(bands[200].color));
  // The frame below the bar is the form's own, the client area is untouched.
  EXPECT_EQ(shot.pixelColor(150, 21), sys(ui::COLOR_BTNFACE));
  EXPECT_EQ(shot.pixelColor(150, 100), QColor(Qt::white));
  // The application name is drawn from the left in the caption text colour; the hidden company
  // text is not, and " " shows nothing after it.
  const auto columns = textColumns(shot, sys(ui::COLOR_CAPTIONTEXT), 3, 298);
  ASSERT_FALSE(columns.empty());
  EXPECT_GE(columns.front(), 6);
  EXPECT_LE(columns.front(), 8);
  const int appWidth =
      QFontMetrics(caption->AppNameText()->drawingFont()).horizontalAdvance(QStringLiteral("Ondravia VARDEL v1.0"));
  EXPECT_LE(columns.back(), 6 + appWidth);
  EXPECT_GT(columns.back(), 6 + appWidth / 2);
}

TEST(GradientCaption, WhenActiveOnlyShowsThePlainInactiveColourWhileInactive) {
  auto form = playerForm();
  TGradientCaption* caption = playerCaption(*form);
  caption->setEnabled(geWhenActive);
  activate(*form);
  EXPECT_EQ(form->grab().toImage().pixelColor(3, 4), ui::toQColor(ui::clNavy));
  ui::Form other;
  other.setBorderStyle(BorderStyle::bsSingle);
  other.setClientSize(100, 50);
  other.move(400, 400);
  activate(other);
  ASSERT_TRUE(waitUntil([&] { return !caption->IsOwnerActive(); }));
  const QImage shot = form->grab().toImage();
  shot.save(QStringLiteral(VARDEL_TEST_ARTIFACTS "/gradcaption-inactive.png"));
  EXPECT_EQ(shot.pixelColor(3, 4), sys(ui::COLOR_INACTIVECAPTION));
  EXPECT_EQ(shot.pixelColor(150, 4), sys(ui::COLOR_INACTIVECAPTION));
  EXPECT_EQ(shot.pixelColor(297, 4), sys(ui::COLOR_INACTIVECAPTION));
  // The text takes the inactive colour.
  EXPECT_FALSE(textColumns(shot, sys(ui::COLOR_INACTIVECAPTIONTEXT), 3, 298).empty());
  EXPECT_TRUE(textColumns(shot, sys(ui::COLOR_CAPTIONTEXT), 3, 298).empty());
}

TEST(GradientCaption, NeverPaintsThePlainCaptionColourAndOneColourIsAllStartColour) {
  auto form = playerForm();
  TGradientCaption* caption = playerCaption(*form);
  caption->setEnabled(geNever);
  activate(*form);
  QImage shot = form->grab().toImage();
  EXPECT_EQ(shot.pixelColor(3, 4), sys(ui::COLOR_ACTIVECAPTION));
  caption->setEnabled(geAlways);
  caption->setNumColors(1);
  shot = form->grab().toImage();
  EXPECT_EQ(shot.pixelColor(3, 4), ui::toQColor(ui::clNavy));
  EXPECT_EQ(shot.pixelColor(297, 4), ui::toQColor(ui::clNavy));
}

TEST(GradientCaption, ABorderlessWindowGetsNoPaintingAndMessagesPassStraightThrough) {
  auto form = playerForm();
  form->setBorderStyle(BorderStyle::bsNone);
  TGradientCaption* caption = playerCaption(*form);
  activate(*form);
  const QImage shot = form->grab().toImage();
  EXPECT_EQ(shot.pixelColor(3, 4), QColor(Qt::white));
  EXPECT_TRUE(caption->GetCaptionRect().isEmpty());
  QImage surface(400, 400, QImage::Format_RGB32);
  surface.fill(Qt::green);
  QPainter painter(&surface);
  EXPECT_TRUE(caption->PaintCaption(painter, true).isEmpty());
  painter.end();
  EXPECT_EQ(surface.pixelColor(3, 4), QColor(Qt::green));
}

TEST(GradientCaption, TheFrameBeneathNeverPaintsOverTheBar) {
  auto form = playerForm();
  BeneathHook beneath(*form);
  TGradientCaption* caption = playerCaption(*form);
  activate(*form);
  ASSERT_TRUE(waitUntil([&] { return !beneath.activations.empty(); }));
  const QRect bar = caption->GetCaptionRect().toQRect();
  EXPECT_TRUE(beneath.activations.back());
  EXPECT_FALSE(beneath.lastAllowed.isEmpty());
  EXPECT_FALSE(beneath.lastAllowed.intersects(bar));
  form->grab();
  EXPECT_FALSE(beneath.painted.isEmpty());  // the rest of the frame still reaches it
  EXPECT_FALSE(beneath.painted.intersects(bar));
  // Settings changes reach the handler beneath too (the bar passes them on first).
  ui::setSysColor(ui::COLOR_ACTIVECAPTION, ui::sysColor(ui::COLOR_ACTIVECAPTION));
  EXPECT_EQ(beneath.settings, 1);
}

TEST(GradientCaption, ASystemColourChangeShowsAtOnce) {
  auto form = playerForm();
  playerCaption(*form);
  activate(*form);
  const ui::Color saved = ui::sysColor(ui::COLOR_ACTIVECAPTION);
  ui::setSysColor(ui::COLOR_ACTIVECAPTION, ui::rgb(200, 0, 0));
  const QImage shot = form->grab().toImage();
  ui::setSysColor(ui::COLOR_ACTIVECAPTION, saved);
  EXPECT_EQ(shot.pixelColor(297, 4), QColor(200, 0, 0));
  EXPECT_EQ(shot.pixelColor(3, 4), ui::toQColor(ui::clNavy));
}

TEST(GradientCaption, CaptionFontChangesReachSystemKindsButNotCustomFonts) {
  auto form = playerForm();
  TGradientCaption* caption = playerCaption(*form);
  EXPECT_EQ(caption->AppNameText()->Font(), (ui::FontData{QStringLiteral("MS Sans Serif"), -11, ui::fsBold}));
  ui::setCaptionLogFont(ui::LogFont{QStringLiteral("Arial"), -14, 400, true});
  EXPECT_EQ(caption->CaptionFont(), (ui::FontData{QStringLiteral("Arial"), -14, ui::fsItalic}));
  EXPECT_EQ(caption->AppNameText()->Font(), (ui::FontData{QStringLiteral("Arial"), -14, ui::fsItalic | ui::fsBold}));
  EXPECT_EQ(caption->CaptionText()->Font(), caption->CaptionFont());
  EXPECT_EQ(caption->CompanyText()->FontKind(), fkCustom);
  EXPECT_EQ(caption->CompanyText()->Font(), (ui::FontData{QStringLiteral("MS Sans Serif"), -11, ui::fsBold}));
  // Unreadable settings leave the stock system font.
  ui::setCaptionLogFont(std::nullopt);
  EXPECT_EQ(caption->CaptionFont(), ui::stockSystemFont());
  ui::setCaptionLogFont(ui::classicCaptionLogFont());
  EXPECT_EQ(caption->AppNameText()->Font(), (ui::FontData{QStringLiteral("MS Sans Serif"), -11, ui::fsBold}));
}

TEST(GradientCaption, FontKindsAddStylesToTheCaptionFontAndAutoHeightFitsItsHeight) {
  auto form = playerForm();
  TGradientCaption caption(form.get());
  TCompanyText& text = *caption.CompanyText();
  EXPECT_EQ(text.FontKind(), fkSystem);
  text.setFontKind(fkSystemI);
  EXPECT_EQ(text.Font().style, ui::fsBold | ui::fsItalic);  // the caption font is bold already
  text.setFontKind(fkCustom);
  EXPECT_EQ(text.Font().style, ui::fsBold | ui::fsItalic);  // nothing applied
  text.setFontKind(fkAutoHeight);
  text.setFont(ui::FontData{QStringLiteral("Arial"), -20, ui::fsItalic});
  EXPECT_EQ(text.FontKind(), fkAutoHeight);
  EXPECT_EQ(text.Font(), (ui::FontData{QStringLiteral("Arial"), -11, ui::fsItalic}));
  // A cell height is fitted as well (it is restated as a character height first).
  ui::FontData cell{QStringLiteral("Times New Roman"), 30, ui::fsNone};
  caption.FitFontHeight(cell);
  EXPECT_EQ(cell.height, -11);
  // A font given to any other kind makes it custom.
  caption.AppNameText()->setFont(ui::FontData{QStringLiteral("Arial"), -9, ui::fsNone});
  EXPECT_EQ(caption.AppNameText()->FontKind(), fkCustom);
  EXPECT_EQ(caption.AppNameText()->Font().height, -9);
}

TEST(GradientCaption, NumColorsKeepsItsRangeSilentlyAtRunTime) {
  test::MessageRecorder messages;
  auto form = playerForm();
  TGradientCaption caption(form.get());
  EXPECT_EQ(caption.NumColors(), 64);
  caption.setNumColors(0);
  caption.setNumColors(-3);
  EXPECT_EQ(caption.NumColors(), 64);
  caption.setNumColors(1);
  EXPECT_EQ(caption.NumColors(), 1);
  caption.setNumColors(256);
  EXPECT_EQ(caption.NumColors(), 256);
  caption.setNumColors(100000);
  EXPECT_EQ(caption.NumColors(), 256);
  EXPECT_TRUE(messages.texts().isEmpty());
}

TEST(GradientCaption, InDesignModeDefaultsArePreparedAndRangeErrorsAreShown) {
  test::MessageRecorder messages;
  auto form = playerForm();
  form->setBorderStyle(BorderStyle::bsNone);
  form->setDesigning(true);
  TGradientCaption caption(form.get());
  EXPECT_TRUE(caption.componentState() & csDesigning);
  EXPECT_EQ(caption.CompanyText()->Caption(), QStringLiteral("Ralvek's"));
  EXPECT_EQ(caption.AppNameText()->Caption(), QStringLiteral("Program -"));
  EXPECT_EQ(caption.CompanyText()->FontKind(), fkSystemBI);
  EXPECT_EQ(caption.AppNameText()->FontKind(), fkSystemB);
  EXPECT_EQ(caption.CaptionText()->FontKind(), fkSystem);
  // A designed form is painted whatever its border.
  QImage surface(301, 321, QImage::Format_RGB32);
  QPainter painter(&surface);
  EXPECT_EQ(caption.PaintCaption(painter, true), (WinRect{4, 4, 297, 22}));
  painter.end();
  caption.setNumColors(0);
  caption.setNumColors(999);
  EXPECT_EQ(caption.NumColors(), 256);
  EXPECT_EQ(messages.texts(), QStringList({QStringLiteral("The number of colors must be at least 1"),
                                           QStringLiteral("The highest number of gradient colors possible is 256")}));
}

TEST(GradientCaption, TheCaptionTextMirrorsTheWindowText) {
  auto form = playerForm();
  TGradientCaption* caption = playerCaption(*form);
  caption->CaptionText()->setCaption(QStringLiteral("Lector"));
  EXPECT_EQ(form->caption(), QStringLiteral("Lector"));
  form->setCaption(QStringLiteral("MP3"));
  EXPECT_EQ(caption->CaptionText()->Caption(), QStringLiteral("MP3"));
  // The new window text shows at the next paint, after the application name.
  caption->AppNameText()->setCaption(QStringLiteral("A"));
  activate(*form);
  const QImage shot = form->grab().toImage();
  const auto columns = textColumns(shot, sys(ui::COLOR_CAPTIONTEXT), 3, 298);
  ASSERT_FALSE(columns.empty());
  const QFontMetrics bold(caption->AppNameText()->drawingFont());
  const QFontMetrics plain(caption->CaptionText()->drawingFont());
  EXPECT_GE(columns.back(),
            6 + bold.horizontalAdvance(QStringLiteral("A")) + 3 + plain.horizontalAdvance(QStringLiteral("MP")));
}

TEST(GradientCaption, ALongWindowTextIsCutWithAnEllipsisInsideTheBar) {
  auto form = playerForm();
  form->setClientSize(120, 40);
  TGradientCaption* caption = playerCaption(*form);
  caption->CaptionText()->setCaption(QStringLiteral("Una ventana con un título larguísimo que no cabe"));
  activate(*form);
  const QImage shot = form->grab().toImage();
  shot.save(QStringLiteral(VARDEL_TEST_ARTIFACTS "/gradcaption-ellipsis.png"));
  const WinRect bar = caption->GetCaptionRect();
  // The application name no longer fits: the window text starts at the left and runs up to,
  // not past, the bar's right end.
  const auto columns = textColumns(shot, sys(ui::COLOR_CAPTIONTEXT), 0, form->width());
  ASSERT_FALSE(columns.empty());
  EXPECT_LE(columns.front(), 8);
  EXPECT_LT(columns.back(), bar.right);
  EXPECT_GT(columns.back(), bar.right - 15);
}

TEST(GradientCaption, ASystemMenuGetsTheSmallIconAtTheLeftAndLeavesTheCloseButton) {
  auto form = playerForm();
  form->setBorderIcons(ui::biSystemMenu);
  TGradientCaption* caption = playerCaption(*form);
  activate(*form);
  const QImage shot = form->grab().toImage();
  shot.save(QStringLiteral(VARDEL_TEST_ARTIFACTS "/gradcaption-icon.png"));
  EXPECT_EQ(caption->GetCaptionRect(), (WinRect{3, 3, 278, 21}));
  // The standard icon's outline at (C.Left + 2, C.Top + 1) + (1, 2).
  EXPECT_EQ(shot.pixelColor(6, 6), QColor(Qt::black));
  // The text starts after the icon.
  const auto columns = textColumns(shot, sys(ui::COLOR_CAPTIONTEXT), 22, 278);
  ASSERT_FALSE(columns.empty());
  EXPECT_GE(columns.front(), 3 + 1 + 16 + 1 + 3);
  // The close button, drawn by the form's frame, is still there.
  EXPECT_EQ(shot.pixelColor(282, 16), sys(ui::COLOR_BTNFACE));
}

TEST(GradientCaption, AnOwnerThatIsNotAFormFailsBeforeAnythingIsHooked) {
  QWidget widget;
  try {
    TGradientCaption caption(&widget);
    FAIL() << "constructed on a plain widget";
  } catch (const ui::Error& error) {
    EXPECT_EQ(error.text(), QStringLiteral("Invalid class typecast"));
  }
  EXPECT_THROW(TGradientCaption(nullptr), ui::Error);
  EXPECT_TRUE(widget.children().isEmpty());
}

TEST(GradientCaption, DestructionRestoresTheStandardCaption) {
  auto form = playerForm();
  ui::NonClientHook* standard = form->nonClientHook();
  auto* caption = playerCaption(*form);
  EXPECT_NE(form->nonClientHook(), standard);
  activate(*form);
  delete caption;
  EXPECT_EQ(form->nonClientHook(), standard);
  const QImage shot = form->grab().toImage();
  EXPECT_EQ(shot.pixelColor(3, 4), sys(ui::COLOR_ACTIVECAPTION));
  // A bar still on its form goes with it, before the form's frame does.
  playerCaption(*form);
  form.reset();
}

}  // namespace
}  // namespace vardel
