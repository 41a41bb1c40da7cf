#include "decode/heif_items.h"

#include <algorithm>
#include <string>
#include <utility>

#include "decode/heif_boxes.h"
#include "decode/picture_error.h"

namespace tessimar {
namespace {

constexpr std::size_t FullBoxBytes = 4;  // version and flags

struct FullBox {
  std::uint32_t Version = 0;
  ByteCursor Fields;
};

FullBox OpenFullBox(const Box& box) {
  ByteCursor cursor(box.Body);
  const std::uint32_t version = cursor.U8();
  cursor.Take(3);  // flags
  return {version, cursor};
}

const Box& Required(const std::vector<Box>& boxes, std::string_view type) {
  const Box* box = FirstBox(boxes, type);
  if (box == nullptr) throw PictureError("HEIF: no " + std::string(type) + " box");
  return *box;
}

HeifItemId ReadPrimary(const Box& pitm) {
  FullBox box = OpenFullBox(pitm);
  return box.Version == 0 ? box.Fields.U16() : box.Fields.U32();
}

// Item entries of version 2 and 3 carry a type; earlier ones describe no picture.
void ReadTypes(const Box& iinf, std::vector<HeifItemType>& types) {
  FullBox box = OpenFullBox(iinf);
  box.Fields.Take(box.Version == 0 ? 2 : 4);  // entry count: libheif reads the entries there are
  for (const Box& infe : ChildBoxes(box.Fields.Rest())) {
    if (infe.Type != "infe") continue;
    FullBox entry = OpenFullBox(infe);
    if (entry.Version < 2) continue;
    const HeifItemId item = entry.Version == 2 ? entry.Fields.U16() : entry.Fields.U32();
    entry.Fields.Take(2);  // item_protection_index
    types.push_back({item, entry.Fields.Type()});
  }
}

HeifLocation ReadLocationEntry(ByteCursor& fields, std::uint32_t version, const std::uint32_t sizes[4]) {
  HeifLocation location;
  location.Item = version < 2 ? fields.U16() : fields.U32();
  if (version >= 1) location.ConstructionMethod = static_cast<int>(fields.U16() & 0x0F);
  location.DataReference = fields.U16();
  const std::uint64_t base = fields.Number(sizes[2]);
  const std::uint32_t extents = fields.U16();
  for (std::uint32_t e = 0; e < extents; ++e) {
    if (version >= 1) fields.Number(sizes[3]);  // extent_index
    const std::uint64_t offset = fields.Number(sizes[0]);
    location.Extents.push_back({base + offset, fields.Number(sizes[1])});
  }
  return location;
}

void ReadLocations(const Box& iloc, std::vector<HeifLocation>& locations) {
  FullBox box = OpenFullBox(iloc);
  if (box.Version > 2) throw PictureError("HEIF: unsupported item location version");
  const std::uint32_t packed = box.Fields.U16();
  // offset_size, length_size, base_offset_size, index_size: each 0, 4 or 8 bytes
  const std::uint32_t sizes[4] = {packed >> 12, packed >> 8 & 0x0F, packed >> 4 & 0x0F,
                                  box.Version >= 1 ? packed & 0x0F : 0};
  for (const std::uint32_t size : sizes) {
    if (size != 0 && size != 4 && size != 8) throw PictureError("HEIF: damaged item locations");
  }
  const std::uint32_t count = box.Version < 2 ? box.Fields.U16() : box.Fields.U32();
  for (std::uint32_t i = 0; i < count; ++i) locations.push_back(ReadLocationEntry(box.Fields, box.Version, sizes));
}

void ReadReferences(const Box& iref, std::vector<HeifReference>& references) {
  FullBox box = OpenFullBox(iref);
  const std::size_t idBytes = box.Version == 0 ? 2 : 4;
  for (const Box& child : ChildBoxes(box.Fields.Rest())) {
    ByteCursor fields(child.Body);
    HeifReference reference{child.Type, static_cast<HeifItemId>(fields.Number(idBytes)), {}};
    const std::uint32_t count = fields.U16();
    for (std::uint32_t i = 0; i < count; ++i) reference.To.push_back(static_cast<HeifItemId>(fields.Number(idBytes)));
    references.push_back(std::move(reference));
  }
}

void ReadConfigurations(const Box& iprp, HeifItems& items) {
  const std::vector<Box> properties = ChildBoxes(iprp.Body);
  for (const Box& property : ChildBoxes(Required(properties, "ipco").Body)) {
    if (property.Type == "hvcC") items.HevcConfigurations.push_back(property.Body);
    if (property.Type == "av1C") items.Av1Configurations.push_back(property.Body);
  }
}

}  // namespace

HeifItems ReadHeifItems(std::span<const std::uint8_t> meta) {
  if (meta.size() < FullBoxBytes) throw PictureError("HEIF: damaged meta box");
  const std::vector<Box> boxes = ChildBoxes(meta.subspan(FullBoxBytes));
  HeifItems items;
  items.Primary = ReadPrimary(Required(boxes, "pitm"));
  ReadTypes(Required(boxes, "iinf"), items.Types);
  ReadLocations(Required(boxes, "iloc"), items.Locations);
  if (const Box* iref = FirstBox(boxes, "iref")) ReadReferences(*iref, items.References);
  if (const Box* idat = FirstBox(boxes, "idat")) items.ItemData = idat->Body;
  ReadConfigurations(Required(boxes, "iprp"), items);
  return items;
}

std::vector<std::uint8_t> ReadLocation(const OpenedFile& file, const HeifItems& items, const HeifLocation& location,
                                       std::uint64_t mostBytes) {
  if (location.DataReference != 0) throw PictureError("HEIF: item data in another file");
  if (location.ConstructionMethod > 1) throw PictureError("HEIF: unsupported item construction");
  const bool inFile = location.ConstructionMethod == 0;
  const std::uint64_t end = inFile ? file.Size() : items.ItemData.size();
  std::vector<std::uint8_t> data;
  for (const HeifExtent& extent : location.Extents) {
    const std::uint64_t length = extent.Length;
    if (extent.Offset > end || length > end - extent.Offset) throw PictureError("HEIF: item data beyond the end");
    if (length > mostBytes - data.size()) throw PictureError("HEIF: an item's data are larger than the file");
    const std::size_t start = data.size();
    data.resize(start + static_cast<std::size_t>(length));
    if (inFile) {
      file.ReadAt(extent.Offset, data.data() + start, static_cast<std::size_t>(length));
    } else {
      std::copy_n(items.ItemData.begin() + static_cast<std::ptrdiff_t>(extent.Offset), length,
                  data.begin() + static_cast<std::ptrdiff_t>(start));
    }
  }
  return data;
}

}  // namespace tessimar
