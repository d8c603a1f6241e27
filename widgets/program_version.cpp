#include "widgets/program_version.h"

#include "cheque_version.h"

namespace cheque {

QString ProgramVersion() { return QStringLiteral(CHEQUE_VERSION); }

QString VersionCaption() { return QStringLiteral("גירסה ") + ProgramVersion(); }

}  // namespace cheque
