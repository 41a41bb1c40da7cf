// The items of a HEIF file as libheif finds them in its meta box: their types, where their data
// lie, how they refer to each other, and the decoder configurations among their properties.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "decode/file_reading.h"

namespace tessimar {

using HeifItemId = std::uint32_t;

struct HeifItemType {
  HeifItemId Item = 0;
  std::string_view Type;  // "hvc1", "av01", "grid", "iovl", "iden", ...
};

struct HeifExtent {
  std::uint64_t Offset = 0;
  std::uint64_t Length = 0;  // 0: nothing, as libheif reads it (not the rest of the file)
};

struct HeifLocation {
  HeifItemId Item = 0;
  int ConstructionMethod = 0;  // 0: in the file, 1: in the idat box
  std::uint32_t DataReference = 0;
  std::vector<HeifExtent> Extents;
};

struct HeifReference {
  std::string_view Type;  // "dimg", "auxl", "thmb", ...
  HeifItemId From = 0;
  std::vector<HeifItemId> To;
};

// Views into the meta box's bytes, which must outlive them. An item may appear more than
// once anywhere: whichever of its entries libheif picks, the caller can count them all.
struct HeifItems {
  HeifItemId Primary = 0;
  std::vector<HeifItemType> Types;
  std::vector<HeifLocation> Locations;
  std::vector<HeifReference> References;
  std::span<const std::uint8_t> ItemData;                         // the idat box's body
  std::vector<std::span<const std::uint8_t>> HevcConfigurations;  // hvcC bodies
  std::vector<std::span<const std::uint8_t>> Av1Configurations;   // av1C bodies
};

// Throws PictureError where the boxes libheif needs are missing or damaged.
HeifItems ReadHeifItems(std::span<const std::uint8_t> meta);

// The bytes of one location, extent after extent. Throws PictureError for data beyond the file
// or the idat box, in another file, or of more than mostBytes in all.
std::vector<std::uint8_t> ReadLocation(const OpenedFile& file, const HeifItems& items, const HeifLocation& location,
                                       std::uint64_t mostBytes);

}  // namespace tessimar
