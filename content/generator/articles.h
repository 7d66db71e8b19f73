// The magazine's articles: HTML sources from content/articles, written into Ficheros in the
// encoding each declares, with the almanac's tables filled in and the articles' pictures.
#pragma once

#include "content/generator/generator.h"

#include <QByteArray>
#include <QString>

namespace vardel::content {

// How an article is stored on the disc, from the declaration in its source: a <meta> naming
// utf-8 keeps UTF-8; one naming windows-1252, or none at all, gives Windows-1252 (what a
// Spanish Windows of 1999 wrote).
enum class ArticleEncoding { Windows1252, Utf8 };
ArticleEncoding declaredEncoding(const QString& html);

// Replaces every "<!--ALMANAQUE:N-->" (N = 1..12) with the table of month N.
QString expandAlmanac(const QString& html);

// The stored bytes of an article source (UTF-8 text). Throws std::runtime_error when a
// character cannot be stored in the declared encoding.
QByteArray encodeArticle(const QString& html, const QString& name);

// Writes every article of `sourceDir`/articles and every picture listed in its images.txt
// ("path section width height" per line) into Ficheros.
void writeArticles(const QString& sourceDir, OutputFolder& out);

}  // namespace vardel::content
