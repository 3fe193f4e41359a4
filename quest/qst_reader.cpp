// Reading the quest document file; the layout is in qst_format.h and docs/formats.md.
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "datafiles/file_utils.h"
#include "datafiles/monster_class_table.h"
#include "platform/core/paths.h"
#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/machine.h"
#include "quest/marker.h"
#include "quest/monster.h"
#include "quest/qst_format.h"
#include "quest/quest_object.h"
#include "quest/record_io.h"
#include "quest/room.h"

namespace {

// Smallest size of each record in any version, so that a count can be
// checked against the bytes that remain before anything is allocated.
constexpr std::uint64_t kMinMachine = 180;
constexpr std::uint64_t kMinObject = 100;
constexpr std::uint64_t kMinMonster = 100;
constexpr std::uint64_t kMinRoom = 200;
constexpr std::uint64_t kMinInstance = 56;
constexpr std::uint64_t kMinPosition = 20;
constexpr std::uint64_t kMinParam = 4;  // a type code without a value
constexpr std::uint64_t kMinBlock = 36;
constexpr std::uint64_t kTrapRecord = 136;
constexpr std::uint64_t kPlacedMonsterRecord = 52;
constexpr std::uint64_t kMinBankName = 8;
constexpr std::uint64_t kMarkerRecord = 44;
constexpr std::size_t kBlockNameSize = 512;

[[noreturn]] void Refuse(const platform::File& file) {
  throw platform::FileException(platform::kCauseGeneric, 0, file.path());
}

[[noreturn]] void Truncated(const platform::File& file) {
  throw platform::FileException(platform::kCauseEndOfFile, 0, file.path());
}

std::uint64_t Remaining(const platform::File& file) {
  const std::uint64_t length = file.GetLength();
  const std::uint64_t position = file.GetPosition();
  return length > position ? length - position : 0;
}

void ReadExactly(platform::File& file, void* out, std::size_t n) {
  if (file.Read(out, n) != n) Truncated(file);
}

// A count whose records, at their smallest, still fit in what remains.
std::uint32_t ReadCount(platform::File& file, std::uint64_t minRecordBytes) {
  const std::uint32_t n = ReadU32(file);
  if (std::uint64_t(n) * minRecordBytes > Remaining(file)) Truncated(file);
  return n;
}

float ReadF32(platform::File& file) { return std::bit_cast<float>(ReadU32(file)); }

std::int16_t ReadI16(platform::File& file) {
  std::uint8_t b[2];
  ReadExactly(file, b, sizeof b);
  return static_cast<std::int16_t>(std::uint16_t(b[0]) | std::uint16_t(b[1]) << 8);
}

// A raw text field: its terminator must lie inside it. What followed the
// terminator is not kept, so a record writes back the same whatever was there.
template <std::size_t N>
void ReadFixed(platform::File& file, char (&field)[N]) {
  ReadExactly(file, field, N);
  if (!std::memchr(field, 0, N)) Refuse(file);
  SetField(field, FieldText(field));
}

// A counted string into a field; one longer than the field holds is refused.
template <std::size_t N>
void ReadString(platform::File& file, char (&field)[N]) {
  const std::string text = ReadCountedString(file);
  if (text.size() > N - 1) Refuse(file);
  SetField(field, text);
}

// Appends records at the tail, so a list keeps its file order; each record
// joins the list before it is read, so the list owns it if the read fails.
template <class T>
class TailAppender {
 public:
  explicit TailAppender(T*& head) : link_(&head) {
    while (*link_) link_ = &(*link_)->next;
  }
  T* Add(T* record) {
    *link_ = record;
    link_ = &record->next;
    return record;
  }

 private:
  T** link_;
};

void ReadSprite(platform::File& file, TrispriteRecord& sprite) {
  ReadFixed(file, sprite.name);
  sprite.column = ReadI16(file);
  sprite.row = ReadI16(file);
  sprite.valueA = ReadI16(file);
  sprite.cellFormat = ReadI16(file);
  sprite.cellSize = ReadI16(file);
  ReadI16(file);  // padding
  sprite.valueB = ReadI32(file);
}

void ReadCollision(platform::File& file, std::uint32_t version, CRoom& room) {
  room.collision.fill(kCollisionFree);
  if (version < 3) {
    std::vector<std::uint8_t> bytes(std::size_t(kRoomCells) * kRoomCells * 2);
    ReadExactly(file, bytes.data(), bytes.size());
    for (std::size_t i = 0; i < room.collision.size(); ++i) {
      room.collision[i] = static_cast<std::uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    }
    return;
  }
  const std::int32_t firstColumn = ReadI32(file);
  const std::int32_t lastColumn = ReadI32(file);
  const std::int32_t firstRow = ReadI32(file);
  const std::int32_t lastRow = ReadI32(file);
  if (firstColumn == kQstNoCellLow && lastColumn == kQstNoCellHigh && firstRow == kQstNoCellLow &&
      lastRow == kQstNoCellHigh) {
    return;
  }
  auto inGrid = [](std::int32_t v) { return v >= 0 && v < kRoomCells; };
  if (!inGrid(firstColumn) || !inGrid(lastColumn) || !inGrid(firstRow) || !inGrid(lastRow) ||
      firstColumn > lastColumn || firstRow > lastRow) {
    Refuse(file);
  }
  const std::size_t columns = std::size_t(lastColumn - firstColumn + 1);
  const std::size_t rows = std::size_t(lastRow - firstRow + 1);
  std::vector<std::uint8_t> bytes(columns * rows * 2);
  if (bytes.size() > Remaining(file)) Truncated(file);
  ReadExactly(file, bytes.data(), bytes.size());
  std::size_t i = 0;
  for (int column = firstColumn; column <= lastColumn; ++column) {
    for (int row = firstRow; row <= lastRow; ++row, i += 2) {
      room.Collision(column, row) = static_cast<std::uint16_t>(bytes[i] | bytes[i + 1] << 8);
    }
  }
}

// The 540-byte image after its id: rotation, id2, three unused words, the
// name and the last word.
void ReadBlockImageRest(platform::File& file, RoomBlock& block) {
  block.rotation = ReadI32(file);
  block.id2 = ReadI32(file);
  for (int i = 0; i < 3; ++i) ReadI32(file);
  char name[kBlockNameSize];
  ReadFixed(file, name);
  block.fileName = FieldText(name);
  block.extra = ReadI32(file);
}

void ReadBlocks(platform::File& file, std::uint32_t version, CRoom& room) {
  const std::uint32_t count = ReadCount(file, kMinBlock);
  if (count > std::uint32_t(kRoomBlocks) * kRoomBlocks) Refuse(file);
  for (std::uint32_t n = 0; n < count; ++n) {
    const std::int32_t column = ReadI32(file);
    const std::int32_t row = ReadI32(file);
    if (!CRoom::IsBlockInGrid(column, row)) Refuse(file);
    RoomBlock& block = room.Block(column, row);
    if (version < 3) {
      block.id = ReadI32(file);
      ReadBlockImageRest(file, block);
      continue;
    }
    char tag[4];
    ReadExactly(file, tag, sizeof tag);
    // The tag is exactly four bytes: "CMI" in any case and a zero.
    if (tag[3] == 0 && platform::EqualsNoCase(std::string_view(tag, 3), "CMI")) {
      ReadU32(file);  // block record version
      block.id = ReadI32(file);
      block.rotation = ReadI32(file);
      block.id2 = ReadI32(file);
      std::string name = ReadCountedString(file);
      if (name.size() > kBlockNameSize - 1) Refuse(file);
      block.fileName = std::move(name);
      block.extra = ReadI32(file);
    } else {
      block.id = -1;  // the older form's first word is not used
      ReadBlockImageRest(file, block);
    }
  }
}

void ReadTraps(platform::File& file, CRoom& room) {
  room.FreeTraps();
  const std::uint32_t count = ReadCount(file, kTrapRecord);
  TailAppender<RoomTrap> traps(room.traps);
  std::vector<std::int32_t> targetIds;
  targetIds.reserve(count);
  for (std::uint32_t n = 0; n < count; ++n) {
    RoomTrap* t = traps.Add(new RoomTrap);
    ReadU32(file);  // record version
    t->type = ReadI32(file);
    t->rotation = ReadI32(file);
    t->cellX = ReadI32(file);
    t->cellY = ReadI32(file);
    for (std::int32_t& v : t->data) v = ReadI32(file);
    for (std::int32_t& v : t->links) v = ReadI32(file);
    t->targetCellX = ReadI32(file);
    t->targetCellY = ReadI32(file);
    t->exportIndex = ReadI32(file);
    ReadFixed(file, t->label);
    t->fileId = ReadI32(file);
    targetIds.push_back(ReadI32(file));
  }
  std::size_t i = 0;
  for (RoomTrap* t = room.traps; t; t = t->next, ++i) {
    t->target = nullptr;
    if (targetIds[i] == 0) continue;
    for (RoomTrap* u = room.traps; u; u = u->next) {
      if (u->fileId == targetIds[i]) {
        t->target = u;
        break;
      }
    }
  }
}

void ReadPlacedMonsters(platform::File& file, CRoom& room) {
  room.FreeMonsters();
  const std::uint32_t count = ReadCount(file, kPlacedMonsterRecord);
  TailAppender<RoomMonster> monsters(room.monsters);
  for (std::uint32_t n = 0; n < count; ++n) {
    RoomMonster* m = monsters.Add(new RoomMonster);
    ReadU32(file);  // record version
    ReadFixed(file, m->name);
    ReadI32(file);  // the class index of the table the file was saved with
    m->classIndex = g_monsterClassTable.Find(FieldText(m->name));
    m->rotation = ReadI32(file);
    m->cellX = ReadI32(file);
    m->cellY = ReadI32(file);
  }
}

// u32 length counting the terminator (0 when absent), then the bytes.
std::string ReadTerminatedName(platform::File& file) {
  const std::uint32_t length = ReadU32(file);
  if (length > Remaining(file)) Truncated(file);
  std::string text(length, '\0');
  ReadExactly(file, text.data(), text.size());
  text.resize(std::strlen(text.c_str()));
  return text;
}

void ReadBlockSet(platform::File& file, CRoom& room) {
  const std::uint32_t count = ReadCount(file, kMinBankName);
  if (count > std::uint32_t(kBankMaxNames)) Refuse(file);
  std::vector<std::string> paths;
  paths.reserve(count);
  for (std::uint32_t n = 0; n < count; ++n) {
    paths.push_back(ReadTerminatedName(file));
    ReadTerminatedName(file);  // the base name, which the path gives again
  }
  room.blockSet.Reset();
  for (const std::string& path : paths) {
    if (!path.empty()) room.blockSet.FindOrAdd(path);
  }
}

}  // namespace

QstHeader::~QstHeader() { FreeList(markers); }

QstContents::~QstContents() {
  FreeList(rooms);
  FreeList(monsters);
  FreeList(objects);
  FreeList(machines);
}

void ReadInstancePosition(platform::File& file, InstancePosition& p) {
  const std::uint32_t version = ReadU32(file);
  p.paramNumber = ReadI32(file);
  p.x = ReadI32(file);
  p.y = ReadI32(file);
  p.nodeType = ReadI32(file);
  if (version >= 2) {
    p.cellX = ReadI32(file);
    p.cellY = ReadI32(file);
    p.rotation = ReadI32(file);
  } else {
    p.cellX = 96;
    p.cellY = 96;
    p.rotation = 0;
  }
}

void ReadElementInstance(platform::File& file, ElementInstance& instance) {
  const std::uint32_t version = ReadU32(file);
  if (version < 3) {
    ReadFixed(file, instance.name);
    ReadFixed(file, instance.name2);
  } else {
    ReadString(file, instance.name);
    ReadString(file, instance.name2);
  }
  instance.value1 = ReadI32(file);
  instance.value2 = ReadI32(file);
  if (version < 2) {
    ReadFixed(file, instance.links[0]);
  } else {
    for (auto& link : instance.links) {
      if (version == 2) {
        ReadFixed(file, link);
      } else {
        ReadString(file, link);
      }
    }
  }
  instance.FreePositions();
  const std::uint32_t count = ReadCount(file, kMinPosition);
  for (std::uint32_t n = 0; n < count; ++n) ReadInstancePosition(file, *NewInstancePosition(instance.positions));
}

void LoadMachine(platform::File& file, CMachine& machine) {
  ReadU32(file);  // record version: one layout so far
  machine.kind = ReadI32(file);
  ReadFixed(file, machine.name);
  ReadFixed(file, machine.typeKey);
  const std::int32_t storedCount = ReadI32(file);
  if (storedCount < 0 || std::uint64_t(storedCount) * kMinParam > Remaining(file)) Truncated(file);
  machine.instanceCounter = ReadI32(file);
  for (std::int32_t n = 0; n < storedCount; ++n) {
    // A type code outside 1..12 has no value record after it.
    std::unique_ptr<CMachineParam> value = NewMachineParam(static_cast<int>(ReadU32(file)));
    if (!value) continue;
    CMachineParam* v = PushHead(machine.params, value.release());
    ++machine.paramCount;
    v->Read(file);
  }
  const std::uint32_t instances = ReadCount(file, kMinInstance);
  TailAppender<ElementInstance> tail(machine.instances);
  for (std::uint32_t n = 0; n < instances; ++n) ReadElementInstance(file, *tail.Add(new ElementInstance));
  machine.CheckAgainstLibrary();
}

void LoadQuestObject(platform::File& file, CQuestObject& object) {
  const std::uint32_t version = ReadU32(file);
  object.isVirtual = ReadI32(file);
  if (version < 4) {
    ReadFixed(file, object.key);
    ReadFixed(file, object.parent);
  } else {
    ReadString(file, object.key);
    ReadString(file, object.parent);
  }
  object.name.Read(file);
  object.questFlag = ReadI32(file);
  object.comment.Read(file);
  if (version >= 2) ReadSprite(file, object.sprite);
  if (version >= 4) {
    ReadString(file, object.mesh);
  } else if (version == 3) {
    ReadFixed(file, object.mesh);
  } else if (version == 2) {
    SetField(object.mesh, "");
  }
}

void LoadMonster(platform::File& file, CMonster& monster) {
  const std::uint32_t version = ReadU32(file);
  if (version < 3) {
    ReadFixed(file, monster.key);
    ReadFixed(file, monster.monsterClass);
    ReadFixed(file, monster.gift);
  } else {
    ReadString(file, monster.key);
    ReadString(file, monster.monsterClass);
    ReadString(file, monster.gift);
  }
  monster.name.Read(file);
  monster.text2.Read(file);
  monster.text.Read(file);
  monster.life = ReadI32(file);
  monster.damage1 = ReadI32(file);
  monster.damage2 = ReadI32(file);
  if (version < 2) return;
  monster.instanceCounter = ReadI32(file);
  const std::uint32_t instances = ReadCount(file, kMinInstance);
  TailAppender<ElementInstance> tail(monster.instances);
  for (std::uint32_t n = 0; n < instances; ++n) ReadElementInstance(file, *tail.Add(new ElementInstance));
}

void LoadRoom(platform::File& file, CRoom& room) {
  const std::uint32_t version = ReadU32(file);
  ReadFixed(file, room.name);
  room.land = ReadI32(file);
  room.level = ReadI32(file);
  room.flags = ReadI32(file);
  room.left = ReadI32(file);
  room.top = ReadI32(file);
  room.right = ReadI32(file);
  room.bottom = ReadI32(file);
  room.text.Read(file);
  if (version >= 2) {
    room.levelFlag = ReadI32(file);
    room.entrance = ReadI32(file);
  } else {
    room.levelFlag = 0;
    room.entrance = 0;
  }
  room.targetX = ReadF32(file);
  room.targetY = ReadF32(file);
  room.targetZ = ReadF32(file);
  room.offsetX = ReadF32(file);
  room.offsetY = ReadF32(file);
  room.distance = ReadF32(file);
  room.pitch = ReadF32(file);
  room.yaw = ReadF32(file);
  room.roll = ReadF32(file);
  ReadCollision(file, version, room);
  ReadBlocks(file, version, room);
  ReadTraps(file, room);
  ReadPlacedMonsters(file, room);
  ReadBlockSet(file, room);
}

void ReadQuestHeader(platform::File& file, QstHeader& header) {
  header.version = ReadU32(file);
  header.hasLanguage = false;
  header.hasTexts = false;
  if (static_cast<std::int32_t>(header.version) <= 0) return;
  header.viewLeft = ReadI32(file);
  header.viewTop = ReadI32(file);
  if (header.version >= 2) {
    header.language = ReadI32(file);
    if (header.language < 0 || header.language >= kLanguageCount) Refuse(file);
    header.hasLanguage = true;
  }
  ReadU32(file);  // marker list version
  header.markerCounter = ReadI32(file);
  FreeList(header.markers);
  const std::uint32_t count = ReadCount(file, kMarkerRecord);
  TailAppender<Marker> markers(header.markers);
  for (std::uint32_t n = 0; n < count; ++n) {
    Marker* m = markers.Add(new Marker);
    ReadU32(file);  // marker version
    ReadFixed(file, m->name);
    m->x = ReadI32(file);
    m->y = ReadI32(file);
  }
  if (header.version >= 3) {
    header.author.Read(file);
    header.information.Read(file);
    header.hasTexts = true;
  }
}

void ReadQuestFile(platform::File& file, QstContents& out) {
  std::uint32_t count = ReadCount(file, kMinMachine);
  TailAppender<CMachine> machines(out.machines);
  for (std::uint32_t n = 0; n < count; ++n) LoadMachine(file, *machines.Add(new CMachine));

  count = ReadCount(file, kMinObject);
  TailAppender<CQuestObject> objects(out.objects);
  for (std::uint32_t n = 0; n < count; ++n) LoadQuestObject(file, *objects.Add(new CQuestObject));

  count = ReadCount(file, kMinMonster);
  TailAppender<CMonster> monsters(out.monsters);
  for (std::uint32_t n = 0; n < count; ++n) LoadMonster(file, *monsters.Add(new CMonster));

  count = ReadCount(file, kMinRoom);
  TailAppender<CRoom> rooms(out.rooms);
  for (std::uint32_t n = 0; n < count; ++n) LoadRoom(file, *rooms.Add(new CRoom));

  ReadQuestHeader(file, out.header);
}
