// The demo magazine's generator: writes the whole content folder from the sources in content/.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vardel::content {

// Collects the files of the content folder and writes them under one root.
class OutputFolder {
 public:
  explicit OutputFolder(QString root) : root_(std::move(root)) {}
  // Writes `bytes` to root/relative (folders are created); throws std::runtime_error on failure.
  void write(const QString& relative, const QByteArray& bytes);
  // Every relative name written so far, in order.
  const QStringList& written() const { return written_; }

 private:
  QString root_;
  QStringList written_;
};

// Writes Configuracion.ini, Graficos, Ficheros and Musica from the sources under
// `sourceDir` (the content/ folder). Throws std::runtime_error with a readable message when a
// source is missing or wrong.
void generateContent(const QString& sourceDir, OutputFolder& out);

}  // namespace vardel::content
