// Last-write times in the FAT form the catalogue keeps: DOS date high, DOS time low.
#pragma once

#include <cstdint>
#include <ctime>

namespace tessimar {

// Local time of t packed as FAT date (high 16 bits) and time (low 16 bits); 0 for a
// time the FAT form cannot hold (before 1980 or after 2107).
std::int32_t ToDosDateTime(std::time_t t);

}  // namespace tessimar
