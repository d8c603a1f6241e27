#pragma once

#include <QString>

namespace cheque {

// The program's version ("1.07"), set once in CMakeLists.txt.
QString ProgramVersion();
// As the windows show it: "גירסה 1.07".
QString VersionCaption();

}  // namespace cheque
