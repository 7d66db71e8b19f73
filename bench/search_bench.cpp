// The magazine search: building the index of the demo magazine and of generated magazines of
// several sizes (time per MB of articles), and one search over the largest.
#include "bench/article_generator.h"
#include "platform/inifile.h"
#include "shell/busqueda_indice.h"
#include "shell/cities.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using vardel::SearchCity;
using vardel::SearchIndex;

QList<SearchCity> citiesOf(const QString& folder) {
  const auto ini = vardel::platform::IniFile::open(folder + QString::fromLatin1(vardel::kConfigFile));
  QList<SearchCity> cities;
  const std::uint8_t count = vardel::readCityCount(ini);
  for (int n = 1; n <= 15 && vardel::cityExists(count, n); ++n) {
    const vardel::CityConfig city = vardel::readCity(ini, QString::number(n));
    cities.push_back({n, city.hint, city.file});
  }
  return cities;
}

void report(benchmark::State& state, const SearchIndex& index) {
  state.counters["pages"] = index.pageCount();
  state.counters["MB"] = double(index.bytesRead()) / (1 << 20);
  // Seconds per MB of articles read.
  state.counters["s_per_MB"] =
      benchmark::Counter(double(index.bytesRead()) / (1 << 20),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_IndexDemoMagazine(benchmark::State& state) {
  const QString folder = QStringLiteral(VARDEL_PROGRAM_DIR);
  const QList<SearchCity> cities = citiesOf(folder);
  SearchIndex index;
  for (auto _ : state) index = SearchIndex::build(folder, cities);
  report(state, index);
}
BENCHMARK(BM_IndexDemoMagazine)->Unit(benchmark::kMillisecond);

// Fifteen cities, each article leading to three more pages: sixty pages of `MB / 60` each.
struct Generated {
  QTemporaryDir dir;
  QList<SearchCity> cities;
  explicit Generated(qsizetype totalBytes) {
    const QString docs = dir.path() + QStringLiteral("/Ficheros/");
    QDir().mkpath(docs);
    const QByteArray page = vardel::bench::generateArticle(totalBytes / 60);
    for (int n = 1; n <= 15; ++n) {
      QByteArray article = page;
      for (int k = 1; k <= 3; ++k) {
        const QByteArray name = QStringLiteral("c%1_%2.html").arg(n).arg(k).toLatin1();
        article += "<p><a href=\"" + name + "\">m&aacute;s</a></p>";
        QFile more(docs + QString::fromLatin1(name));
        if (more.open(QIODevice::WriteOnly)) more.write(page + "<p>pagina" + QByteArray::number(n * 10 + k) + "</p>");
      }
      QFile file(docs + QStringLiteral("c%1.html").arg(n));
      if (file.open(QIODevice::WriteOnly)) file.write(article);
      cities.push_back({n, QStringLiteral("Ciudad %1").arg(n), QStringLiteral("c%1.html").arg(n)});
    }
  }
  QString folder() const { return dir.path() + QLatin1Char('/'); }
};

void BM_IndexGeneratedMagazine(benchmark::State& state) {
  const Generated magazine(qsizetype(state.range(0)) << 20);
  SearchIndex index;
  for (auto _ : state) index = SearchIndex::build(magazine.folder(), magazine.cities);
  report(state, index);
}
BENCHMARK(BM_IndexGeneratedMagazine)->Arg(1)->Arg(8)->Arg(32)->Unit(benchmark::kMillisecond);

// Two words, one of them on a single page, over the index of 32 MB.
void BM_FindTwoWords(benchmark::State& state) {
  const Generated magazine(qsizetype(32) << 20);
  const SearchIndex index = SearchIndex::build(magazine.folder(), magazine.cities);
  qsizetype found = 0;
  for (auto _ : state) found = index.find(QStringLiteral("PÁGINA73 mas")).size();
  state.counters["hits"] = double(found);
}
BENCHMARK(BM_FindTwoWords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
