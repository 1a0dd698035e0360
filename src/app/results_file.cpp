#include "app/results_file.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace sonavera::app {

std::string ResultJson(const SongResult& result) {
  QJsonObject object;
  object["title"] = QString::fromStdString(result.title);
  object["finalScore"] = static_cast<double>(result.finalScore);
  object["danceScore"] = static_cast<double>(result.danceScore);
  object["bestLine"] = result.bestLine;
  object["worstLine"] = result.worstLine;
  object["reportHtml"] = QString::fromStdString(result.reportHtml);
  return QJsonDocument(object).toJson(QJsonDocument::Indented).toStdString();
}

bool WriteResultsFile(const std::string& path, const SongResult& result) {
  const std::string partial = path + ".part";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << ResultJson(result);
    if (!out.flush()) return false;
  }
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  return !error;
}

}  // namespace sonavera::app
