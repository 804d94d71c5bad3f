// The data devices: a bound memory dataset written as JSON or CSV (UTF-8),
// record by record in the dataset's order, calculated fields included.
#pragma once

#include <cstdio>
#include <string>

#include "forms/memdata.h"

namespace report {

// Returns false when writing failed (errno tells why).
bool ExportJson(forms::MemDataset& ds, const std::string& code, const std::string& templatePath,
                FILE* out);
bool ExportCsv(forms::MemDataset& ds, FILE* out);

// "YYYY-MM-DD", or "YYYY-MM-DDTHH:MM:SS" with ".zzz" when the milliseconds are not zero.
std::string IsoDate(double value);
std::string IsoDateTime(double value);

}  // namespace report
