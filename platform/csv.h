// CSV cells for the data exports (RFC 4180) and the number form they share.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The cell quoted when it holds a comma, a quote or a line break.
std::string CsvCell(std::string_view text);
// Whole numbers without a fraction, others in the shortest form that reads
// back to the same double.
std::string ShortestNumber(double value);

}  // namespace platform
