// Painting the gradient caption bar (256 bands, 300-pixel window) beside the standard caption.
#include "components/gradcaption.h"
#include "components/slider.h"
#include "ui/application.h"
#include "ui/form.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace vardel;

// A player window 300 pixels wide (client 294), active.
std::unique_ptr<ui::Form> playerWindow() {
  auto form = std::make_unique<ui::Form>();
  form->setBorderStyle(ui::BorderStyle::bsSingle);
  form->setBorderIcons(0);
  form->setClientSize(294, 296);
  form->setCaption(QStringLiteral(" "));
  form->show();
  form->activateWindow();
  QApplication::processEvents();
  return form;
}

void configure(TGradientCaption& caption) {
  caption.AppNameText()->setCaption(QStringLiteral("Ondravia VARDEL v1.0"));
  caption.AppNameText()->setFontKind(fkSystemB);
  caption.CompanyText()->setCaption(QStringLiteral("Ralvek's"));
  caption.CompanyText()->setVisible(false);
  caption.setColor(ui::clNavy);
  caption.setNumColors(256);
}

// The bar's own work: compose 256 bands and the texts off screen, then one blit onto a window
// surface.
void BM_GradientCaption_ComposeAndBlit(benchmark::State& state) {
  auto form = playerWindow();
  TGradientCaption caption(form.get());
  configure(caption);
  QImage surface(form->size(), QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&surface);
  for (auto _ : state) benchmark::DoNotOptimize(caption.PaintCaption(painter, true));
}
BENCHMARK(BM_GradientCaption_ComposeAndBlit)->Unit(benchmark::kMicrosecond);

// The whole non-client paint of the caption area through the form's paint and the hook chain.
void BM_GradientCaption_FramePaint(benchmark::State& state) {
  auto form = playerWindow();
  TGradientCaption caption(form.get());
  configure(caption);
  QImage surface(form->size(), QImage::Format_ARGB32_Premultiplied);
  const QRegion bar(form->captionRect());
  for (auto _ : state) {
    form->render(&surface, QPoint(), bar, QWidget::RenderFlags());
    benchmark::DoNotOptimize(surface.constBits());
  }
}
BENCHMARK(BM_GradientCaption_FramePaint)->Unit(benchmark::kMicrosecond);

// The reference: the same paint of the form's standard caption (plain colour, one text).
void BM_StandardCaption_FramePaint(benchmark::State& state) {
  auto form = playerWindow();
  form->setCaption(QStringLiteral("Ondravia VARDEL v1.0"));
  QImage surface(form->size(), QImage::Format_ARGB32_Premultiplied);
  const QRegion bar(form->captionRect());
  for (auto _ : state) {
    form->render(&surface, QPoint(), bar, QWidget::RenderFlags());
    benchmark::DoNotOptimize(surface.constBits());
  }
}
BENCHMARK(BM_StandardCaption_FramePaint)->Unit(benchmark::kMicrosecond);

// A synchronous repaint of the bar on the screen (offscreen platform): paint plus flush.
void BM_GradientCaption_Repaint(benchmark::State& state) {
  auto form = playerWindow();
  TGradientCaption caption(form.get());
  configure(caption);
  const QRect bar = form->captionRect();
  for (auto _ : state) form->repaint(bar);
}
BENCHMARK(BM_GradientCaption_Repaint)->Unit(benchmark::kMicrosecond);

// The MP3 player's slider: a full paint (ruler, thumb).
void BM_Slider_Paint(benchmark::State& state) {
  QWidget window;
  TSlider slider(&window);
  slider.setBounds(0, 0, 108, 56);
  slider.setEdgeSize(1);
  slider.setOptions(soSmooth | soShowPoints);
  QImage surface(slider.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    slider.render(&surface);
    benchmark::DoNotOptimize(surface.constBits());
  }
}
BENCHMARK(BM_Slider_Paint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  vardel::ui::Application application;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
