#include "ui/box_choices.h"

#include "platform/sjis_path.h"
#include "store/box_list.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

QString BoxLabel(const std::string& path, const std::string& data_directory) {
  std::string relative = path;
  if (relative.starts_with(data_directory + "/")) relative.erase(0, data_directory.size() + 1);
  QStringList parts = FromSjis(relative).split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (QString& part : parts) {
    if (part.endsWith(QStringLiteral(".lp"), Qt::CaseInsensitive)) part.chop(3);
  }
  return parts.join(QLatin1Char('/'));
}

}  // namespace

BoxChoices ListBoxChoices(const std::string& data_directory, const std::string& left_out) {
  BoxChoices choices;
  for (const std::string& path : BuildBoxList(data_directory)) {
    if (IsFolderPath(path) || (!left_out.empty() && AbsolutePath(path) == left_out)) continue;
    choices.paths.push_back(path);
    choices.labels << BoxLabel(path, data_directory);
  }
  return choices;
}

}  // namespace lp
