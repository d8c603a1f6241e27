#include "app/common/active_account.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "core/files/account_changes.h"
#include "core/files/program_folder.h"
#include "core/register/open_account.h"
#include "core/register/register_change.h"
#include "core/text/text_compare.h"
#include "widgets/path_text.h"

namespace cheque {

ActiveAccount::ActiveAccount(QString folder, QObject* parent)
    : QObject(parent),
      folder_(std::move(folder)),
      path_(QDir(folder_).filePath(file_names::kDefaultAccountFile)) {}

bool ActiveAccount::Load(const QString& name) {
  if (KeepRows(name)) {
    history_.Clear();
    emit AccountChanged();
    emit DefinitionChanged();
    return true;
  }
  AccountOpenOptions options;
  options.sort_by_date = false;  // the caller sorts, under its busy notice
  // Today only matters to the date sort, which is not done here.
  const OpenedAccount opened = OpenAccount(folder_, name, QDate(), register_, options);
  title_ = name;
  definition_ = opened.location.definition.value_or(AccountDefinition());
  if (!opened.location.definition) definition_.name = name;
  path_ = opened.location.path;
  loaded_ = opened.file.Loaded();
  load_error_ = opened.file.error;
  history_.Clear();
  saved_stamp_.reset();
  date_sorted_ = false;
  emit AccountChanged();
  emit DefinitionChanged();
  return loaded_;
}

bool ActiveAccount::KeepRows(const QString& name) {
  if (!date_sorted_ || !TextEquals(QStringView(name), QStringView(title_)) || !FileIsCurrent()) {
    return false;
  }
  // The file skips empty rows, so a load would drop one that is not last.
  for (int row = 0; row + 1 < register_.RowCount(); ++row) {
    if (register_.RowIsEmpty(row)) return false;
  }
  // The list may have moved the name to another file meanwhile.
  const AccountLocation location = LocateAccount(folder_, name);
  if (!location.definition || location.path != path_) return false;
  title_ = name;
  definition_ = *location.definition;
  return true;
}

void ActiveAccount::SortOpened(QDate today, const CancelCheck& cancel) {
  bool stopped = false;
  if (!date_sorted_) {
    history_.Detach();
    register_.SortRegister(kDateColumn, today, [&] {
      stopped = stopped || (cancel && cancel());
      return stopped;
    });
    saved_stamp_.reset();
    // A date sort, even a stopped one, ends with the whole balance pass.
    history_.Attach(register_, true);
  }
  // The rules an edit closes with; the date sort left no balance stale.
  RecomputeAfterChange(register_, history_);
  date_sorted_ = !stopped;
  emit RowsChanged(0);
}

bool ActiveAccount::Save() {
  if (!loaded_ || FileIsCurrent()) return true;
  if (!SaveAccountFile(path_, register_)) return false;
  saved_stamp_ = StampOf(path_);
  return true;
}

bool ActiveAccount::FileIsCurrent() const {
  // A file changed or removed behind the program's back is written again.
  return loaded_ && saved_stamp_ && StampOf(path_) == saved_stamp_;
}

std::optional<ActiveAccount::FileStamp> ActiveAccount::StampOf(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return std::nullopt;
  return FileStamp{info.size(), info.lastModified().toMSecsSinceEpoch(),
                   info.metadataChangeTime().toMSecsSinceEpoch()};
}

void ActiveAccount::RereadDefinition() {
  const AccountLocation location = LocateAccount(folder_, title_);
  if (!location.definition) return;
  definition_ = *location.definition;
  emit DefinitionChanged();
}

bool ActiveAccount::AdvanceChequeNumber(const QString& next) {
  definition_.next_cheque = next;
  emit DefinitionChanged();
  return cheque::AdvanceChequeNumber(folder_, title_, next).Done();
}

QString ActiveAccount::LoadErrorMessage() const {
  if (load_error_ == ReadError::kDamaged) {
    // Opened as it reads, the next save would make the damage final.
    return QStringLiteral("קובץ החשבון פגום ולא נפתח\r") + Shortened(path_, 120) +
           QStringLiteral("\rהקובץ נשאר כפי שהוא; אפשר לשחזר את החשבון מגיבוי");
  }
  return QStringLiteral("לא ניתן לפתוח או ליצור את קובץ החשבון\r") + Shortened(path_, 120) + u'\r' +
         ReadErrorText(load_error_);
}

QString ActiveAccount::SaveErrorMessage() const {
  return QStringLiteral("לא ניתן לשמור את החשבון בקובץ\r") + PathText(Shortened(path_, 120)) +
         QStringLiteral("\rהתנועות נשארו בזיכרון; בדוק את הדיסק ונסה שוב");
}

}  // namespace cheque
