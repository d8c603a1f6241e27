#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

#include "core/backup/backup.h"

// The account lists on both sides of a backup, as backup and restore read
// and change them.
namespace cheque::backup_lists {

QString ListPath(const QString& folder);

void Tell(BackupOutcome& outcome, bool error, const QString& text);
void Step(const BackupStep& step);
// Adds the closing message: `done` when no error was told, else `incomplete`.
void Finish(BackupOutcome& outcome, const QString& done, const QString& incomplete);

// A list as lines; a missing (or zero-length) list is empty, a last block cut
// short is filled with empty lines, as the program reads it. Nothing (and an
// error told) when it cannot be read or is a link.
std::optional<QStringList> ReadList(const QString& path, BackupOutcome& outcome);

// The backup's list for a restore, which must be whole: not empty, whole
// blocks, and a line end after its last line. Nothing (and why) otherwise.
std::optional<QStringList> ReadWholeBackupList(const QString& path, QString& refusal);

// The message for a list that is a link: nothing is read or written through it.
QString LinkedListText(const QString& path);

// Puts the block in place of the one of its name, or at the end.
void PutBlock(QStringList& lines, const QStringList& block);

// A file base free in `folder` for the block at `own` of `lines`: its own
// unless another block names it.
QString FreeBase(const QString& folder, const QStringList& lines, int own, const QString& base);

}  // namespace cheque::backup_lists
