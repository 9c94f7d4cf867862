#pragma once

#include <string>
#include <vector>

#include "reports/export_tables.h"

namespace quorvane {

// An Office Open XML workbook (.xlsx) of the tables, one sheet each, in their order and under
// their names: numbers stored as numbers, as their CSV text writes them (a full stop as decimal
// mark, whatever the reader's language), texts as UTF-8 strings in the cells, empty fields as no
// cell, and the header row in bold and frozen. A stored zip of a few XML parts: the same tables
// give the same bytes.
std::string xlsx_workbook(const std::vector<NamedTable>& tables);

}  // namespace quorvane
