// A window to look at the gradient caption bar and the sliders by hand (not shipped).
//   build/demo/components_demo      drag the captions, click between the windows, move the sliders
#include "components/gradcaption.h"
#include "components/slider.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/fonts.h"
#include "ui/form.h"

#include <QApplication>

using namespace vardel;

namespace {

// The bar as the two player windows set it up.
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

ui::Label* label(QWidget* parent, int x, int y, const QString& text) {
  auto* l = new ui::Label(parent);
  l->setLabelFont(ui::pixelFont(QStringLiteral("MS Sans Serif"), 11));
  l->setColor(ui::clWhite);
  l->setCaption(text);
  l->move(x, y);
  return l;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication qtApplication(argc, argv);
  ui::Application application;
  application.setTitle(QStringLiteral("VARDEL"));

  // A player-like window: single border, no border icons, the gradient bar, three sliders.
  ui::Form player;
  player.setObjectName(QStringLiteral("frmDemo"));
  player.setBorderStyle(ui::BorderStyle::bsSingle);
  player.setBorderIcons(0);
  player.setColor(ui::clWhite);
  player.setClientSize(295, 296);
  player.move(100, 100);
  playerCaption(player);
  player.setCaption(QStringLiteral("Componentes"));  // the bar's third piece mirrors it

  auto* mp3 = new TSlider(player.client());
  mp3->setObjectName(QStringLiteral("Slider1"));
  mp3->setBounds(10, 10, 108, 56);
  mp3->setEdgeSize(1);
  mp3->setOptions(soSmooth);
  mp3->setColor(0x008FC0E0);
  auto* mp3Value = label(player.client(), 10, 70, QStringLiteral("0"));
  mp3Value->setObjectName(QStringLiteral("lbSlider1"));
  mp3->OnChange = [=](QObject*) { mp3Value->setCaption(QString::number(mp3->Value())); };

  auto* ticks = new TSlider(player.client());
  ticks->setObjectName(QStringLiteral("Slider2"));
  ticks->setBounds(10, 100, 200, 40);
  ticks->setColor(ui::clSilver);
  auto* ticksValue = label(player.client(), 10, 145, QStringLiteral("0"));
  ticksValue->setObjectName(QStringLiteral("lbSlider2"));
  ticks->OnChange = [=](QObject*) { ticksValue->setCaption(QString::number(ticks->Value())); };

  auto* vertical = new TSlider(player.client());
  vertical->setObjectName(QStringLiteral("Slider3"));
  vertical->setOrientation(soVertical);
  vertical->setBounds(230, 10, 40, 180);
  vertical->setColor(ui::clSilver);
  vertical->setOptions(soShowFocus | soShowPoints);  // stepped
  vertical->setIncrement(25);
  auto* verticalValue = label(player.client(), 230, 200, QStringLiteral("0"));
  verticalValue->setObjectName(QStringLiteral("lbSlider3"));
  vertical->OnChange = [=](QObject*) { verticalValue->setCaption(QString::number(vertical->Value())); };

  // A second window with a system menu (icon and close button) whose gradient shows only while
  // it is active.
  ui::Form other(&player);
  other.setObjectName(QStringLiteral("frmOther"));
  other.setBorderStyle(ui::BorderStyle::bsSingle);
  other.setBorderIcons(ui::biSystemMenu);
  other.setColor(ui::clWhite);
  other.setClientSize(260, 60);
  other.move(450, 100);
  auto* otherCaption = playerCaption(other);
  otherCaption->setEnabled(geWhenActive);
  otherCaption->setNumColors(8);
  other.setCaption(QStringLiteral("Otra ventana con un título largo"));
  label(other.client(), 10, 20, QStringLiteral("Gradiente sólo cuando está activa"));

  other.show();
  player.show();
  player.activateWindow();
  application.run();
  return 0;
}
