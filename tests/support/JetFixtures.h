#pragma once

#include "exchange/JetStream.h"

#include <vector>

namespace torvm::test {

// The two tables of the association's membership database, with their columns in file order.
std::vector<JetColumn> mitgliederColumns();  // tblMitglieder, 83 columns
std::vector<JetColumn> vereineKurzColumns(); // tblVereine_kurz, 43 columns

// A member row with every column filled from index (numbers, names with umlauts, dates).
JetRow sampleMitglied(const std::vector<JetColumn>& columns, int index);

} // namespace torvm::test
