#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace cheque::bench {

// An account file as a household or business would have it after years of
// use, in the register order the program saves: a bank balance at every
// month end, most older rows reconciled, the last weeks still open, a few
// forecast rows ahead, cheques with their numbers, Hebrew descriptions and
// categories from the default trees in `assets_folder`.
QByteArray GenerateAccountFile(int transactions, const QString& assets_folder,
                               std::uint32_t seed = 1);

}  // namespace cheque::bench
