#include "core/backup/backup_lists.h"

#include <QDir>

#include "core/backup/backup_files.h"
#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/files/program_folder.h"

namespace cheque::backup_lists {
namespace {

QString UnreadableText(const QString& path, ReadError error) {
  return path + QStringLiteral(" לא ניתן לקרוא את רשימת החשבונות ") + u'\r' + ReadErrorText(error);
}

// Whether a block other than the one at `own` names this file base. Bases are
// compared as a case-blind file system would.
bool BaseTaken(const QStringList& lines, int own, QStringView base) {
  for (qsizetype i = 0; i + 1 < lines.size(); i += kBlockLines) {
    if (i != own && lines[i + 1].compare(base, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

AccountList AsAccountList(const QStringList& lines) {
  AccountList list;
  for (qsizetype i = 0; i < lines.size(); i += kBlockLines) {
    list.Append(AccountDefinition::FromLines(lines.mid(i, kBlockLines)));
  }
  return list;
}

}  // namespace

QString ListPath(const QString& folder) { return QDir(folder).filePath(file_names::kAccountList); }

void Tell(BackupOutcome& outcome, bool error, const QString& text) {
  outcome.messages.push_back({error, text});
}

void Step(const BackupStep& step) {
  if (step) step();
}

void Finish(BackupOutcome& outcome, const QString& done, const QString& incomplete) {
  const bool failed = !outcome.Succeeded();
  Tell(outcome, failed, failed ? incomplete : done);
}

QString LinkedListText(const QString& path) {
  return path + QStringLiteral(" רשימת החשבונות היא קישור לקובץ אחר; לא נכתב דבר ");
}

std::optional<QStringList> ReadList(const QString& path, BackupOutcome& outcome) {
  if (IsLink(path)) {
    Tell(outcome, true, LinkedListText(path));
    return std::nullopt;
  }
  ReadError error = ReadError::kNone;
  auto lines = ReadTextLines(path, &error);
  if (!lines && error == ReadError::kMissing) return QStringList();
  if (!lines) {
    Tell(outcome, true, UnreadableText(path, error));
    return std::nullopt;
  }
  while (lines->size() % kBlockLines != 0) lines->append(QString());
  return lines;
}

std::optional<QStringList> ReadWholeBackupList(const QString& path, QString& refusal) {
  if (IsLink(path)) {
    refusal = LinkedListText(path);
    return std::nullopt;
  }
  ReadError error = ReadError::kNone;
  const auto bytes = ReadFileBytes(path, &error);
  if (!bytes) {
    refusal = UnreadableText(path, error);
    return std::nullopt;
  }
  const std::string_view data(bytes->constData(), static_cast<size_t>(bytes->size()));
  LineReader reader(data);
  QStringList lines;
  while (!reader.AtEnd()) lines.append(reader.NextText());
  const std::string_view text = data.substr(0, data.find('\x1A'));
  // A list cut inside its last line has lost the rest of that line too.
  const bool cut_in_line = !text.empty() && text.back() != '\n' && text.back() != '\r';
  if (lines.isEmpty()) {
    refusal = path + QStringLiteral(" רשימת החשבונות בגיבוי ריקה ");
  } else if (lines.size() % kBlockLines != 0 || cut_in_line) {
    refusal = path + QStringLiteral(" רשימת החשבונות בגיבוי קטועה ");
  } else {
    return lines;
  }
  return std::nullopt;
}

void PutBlock(QStringList& lines, const QStringList& block) {
  const int at = FindBlock(lines, block.value(0));
  if (at < 0) {
    lines.append(block);
    return;
  }
  for (int i = 0; i < kBlockLines; ++i) lines[at + i] = block.value(i);
}

QString FreeBase(const QString& folder, const QStringList& lines, int own, const QString& base) {
  if (!BaseTaken(lines, own, base)) return base;
  return NextAccountFileBase(folder, AsAccountList(lines));
}

}  // namespace cheque::backup_lists
