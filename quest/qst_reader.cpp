// Reading the quest document file; the layout is in qst_format.h and docs/formats.md.
#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "datafiles/byte_source.h"
#include "datafiles/common/little_endian.h"
#include "datafiles/monster_class_table.h"
#include "platform/core/paths.h"
#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/marker.h"
#include "quest/monster.h"
#include "quest/qst_format.h"
#include "quest/quest_object.h"
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

// Where records are read from: the file itself (machine records, whose
// values read themselves from the file), or a byte source over the rest of it.
class QstIn {
 public:
  explicit QstIn(const std::string& path) : path_(path) {}
  virtual ~QstIn() = default;
  QstIn(const QstIn&) = delete;
  QstIn& operator=(const QstIn&) = delete;

  virtual std::uint64_t Remaining() = 0;
  void Read(void* out, std::size_t n) {
    if (!ReadSome(out, n)) Truncated();
  }
  virtual void Text(CMultiLangText& text) = 0;
  // A machine value reads itself from the file; only the file input has one.
  virtual platform::File* file() { return nullptr; }

  [[noreturn]] void Refuse() const { throw platform::FileException(platform::kCauseGeneric, 0, path_); }
  [[noreturn]] void Truncated() const { throw platform::FileException(platform::kCauseEndOfFile, 0, path_); }

  std::uint32_t U32() {
    std::uint8_t b[4];
    Read(b, sizeof b);
    return LoadLe32(b);
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  std::int16_t I16() {
    std::uint8_t b[2];
    Read(b, sizeof b);
    return static_cast<std::int16_t>(LoadLe16(b));
  }
  float F32() { return std::bit_cast<float>(U32()); }
  // A count whose records, at their smallest, still fit in what remains.
  std::uint32_t Count(std::uint64_t minRecordBytes) {
    const std::uint32_t n = U32();
    if (std::uint64_t(n) * minRecordBytes > Remaining()) Truncated();
    return n;
  }
  // A counted string: u32 length without the terminator, then the text and
  // its zero (nothing more for 0); the text ends at its first zero.
  std::string Counted() {
    const std::uint32_t length = U32();
    if (length == 0) return {};
    if (std::uint64_t(length) + 1 > Remaining()) Truncated();
    std::string text(std::size_t(length) + 1, '\0');
    Read(text.data(), text.size());
    text.resize(std::strlen(text.c_str()));
    return text;
  }
  // A raw text field: its terminator must lie inside it. What followed the
  // terminator is not kept, so a record writes back the same whatever was there.
  template <std::size_t N>
  void Fixed(char (&field)[N]) {
    Read(field, N);
    if (!std::memchr(field, 0, N)) Refuse();
    SetField(field, FieldText(field));
  }
  // A counted string into a field; one longer than the field holds is refused.
  template <std::size_t N>
  void String(char (&field)[N]) {
    const std::string text = Counted();
    if (text.size() > N - 1) Refuse();
    SetField(field, text);
  }

 protected:
  virtual bool ReadSome(void* out, std::size_t n) = 0;

 private:
  const std::string& path_;
};

class FileIn final : public QstIn {
 public:
  explicit FileIn(platform::File& f) : QstIn(f.path()), file_(f), length_(f.GetLength()) {}
  std::uint64_t Remaining() override {
    const std::uint64_t position = file_.GetPosition();
    return length_ > position ? length_ - position : 0;
  }
  void Text(CMultiLangText& text) override { text.Read(file_); }
  platform::File* file() override { return &file_; }

 protected:
  bool ReadSome(void* out, std::size_t n) override { return file_.Read(out, n) == n; }

 private:
  platform::File& file_;
  std::uint64_t length_;
};

class SourceIn final : public QstIn {
 public:
  SourceIn(ByteSource& source, const std::string& path) : QstIn(path), source_(source) {}
  std::uint64_t Remaining() override { return source_.Remaining(); }
  void Text(CMultiLangText& text) override {
    if (!text.Read(source_)) Truncated();
  }

 protected:
  bool ReadSome(void* out, std::size_t n) override { return source_.Read(out, n); }

 private:
  ByteSource& source_;
};

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

void ReadSprite(QstIn& in, TrispriteRecord& sprite) {
  in.Fixed(sprite.name);
  sprite.column = in.I16();
  sprite.row = in.I16();
  sprite.valueA = in.I16();
  sprite.cellFormat = in.I16();
  sprite.cellSize = in.I16();
  in.I16();  // padding
  sprite.valueB = in.I32();
}

// The collision bounds of a version-3 room: first and last column, first and
// last row of the cells that are not 0, or the empty-grid values.
struct CollisionBounds {
  std::int32_t firstColumn = 0, lastColumn = -1, firstRow = 0, lastRow = -1;
  bool Empty() const { return lastColumn < firstColumn; }
};

CollisionBounds ReadCollisionBounds(QstIn& in) {
  CollisionBounds b;
  b.firstColumn = in.I32();
  b.lastColumn = in.I32();
  b.firstRow = in.I32();
  b.lastRow = in.I32();
  if (b.firstColumn == kQstNoCellLow && b.lastColumn == kQstNoCellHigh && b.firstRow == kQstNoCellLow &&
      b.lastRow == kQstNoCellHigh) {
    return CollisionBounds{};
  }
  auto inGrid = [](std::int32_t v) { return v >= 0 && v < kRoomCells; };
  if (!inGrid(b.firstColumn) || !inGrid(b.lastColumn) || !inGrid(b.firstRow) || !inGrid(b.lastRow) ||
      b.firstColumn > b.lastColumn || b.firstRow > b.lastRow) {
    in.Refuse();
  }
  return b;
}

// Into a grid that is clear (a new room's is). The cells are read in bounded
// steps; the grid itself is their only copy.
void ReadCollisionCells(QstIn& in, std::uint32_t version, const CollisionBounds& bounds, CRoom& room) {
  std::size_t columns = kRoomCells, rows = kRoomCells;
  int firstColumn = 0, firstRow = 0;
  if (version >= 3) {
    if (bounds.Empty()) return;
    columns = std::size_t(bounds.lastColumn - bounds.firstColumn + 1);
    rows = std::size_t(bounds.lastRow - bounds.firstRow + 1);
    firstColumn = bounds.firstColumn;
    firstRow = bounds.firstRow;
  }
  const std::size_t total = columns * rows;
  if (total * 2 > in.Remaining()) in.Truncated();
  std::uint8_t bytes[4096];
  std::size_t column = 0, row = 0;  // within the bounds, column after column
  for (std::size_t done = 0; done < total;) {
    const std::size_t n = std::min(total - done, sizeof bytes / 2);
    in.Read(bytes, n * 2);
    for (std::size_t k = 0; k < n; ++k, ++done) {
      const std::uint16_t cell = LoadLe16(&bytes[2 * k]);
      if (version < 3) {
        room.collision[done] = cell;  // the whole grid as it lies in memory
        continue;
      }
      room.Collision(firstColumn + static_cast<int>(column), firstRow + static_cast<int>(row)) = cell;
      if (++row == rows) {
        row = 0;
        ++column;
      }
    }
  }
}

// The 540-byte image after its id: rotation, id2, three unused words, the
// name and the last word.
void ReadBlockImageRest(QstIn& in, RoomBlock& block) {
  block.rotation = in.I32();
  block.id2 = in.I32();
  for (int i = 0; i < 3; ++i) in.I32();
  char name[kBlockNameSize];
  in.Fixed(name);
  block.fileName = FieldText(name);
  block.extra = in.I32();
}

void ReadBlocks(QstIn& in, std::uint32_t version, CRoom& room) {
  const std::uint32_t count = in.Count(kMinBlock);
  if (count > std::uint32_t(kRoomBlocks) * kRoomBlocks) in.Refuse();
  for (std::uint32_t n = 0; n < count; ++n) {
    const std::int32_t column = in.I32();
    const std::int32_t row = in.I32();
    if (!CRoom::IsBlockInGrid(column, row)) in.Refuse();
    RoomBlock& block = room.Block(column, row);
    if (version < 3) {
      block.id = in.I32();
      ReadBlockImageRest(in, block);
      continue;
    }
    char tag[4];
    in.Read(tag, sizeof tag);
    // The tag is exactly four bytes: "CMI" in any case and a zero.
    if (tag[3] == 0 && platform::EqualsNoCase(std::string_view(tag, 3), "CMI")) {
      in.U32();  // block record version
      block.id = in.I32();
      block.rotation = in.I32();
      block.id2 = in.I32();
      std::string name = in.Counted();
      if (name.size() > kBlockNameSize - 1) in.Refuse();
      block.fileName = std::move(name);
      block.extra = in.I32();
    } else {
      block.id = -1;  // the older form's first word is not used
      ReadBlockImageRest(in, block);
    }
  }
}

void ReadTraps(QstIn& in, CRoom& room) {
  room.FreeTraps();
  const std::uint32_t count = in.Count(kTrapRecord);
  TailAppender<RoomTrap> traps(room.traps);
  std::vector<std::int32_t> targetIds;
  targetIds.reserve(count);
  for (std::uint32_t n = 0; n < count; ++n) {
    RoomTrap* t = traps.Add(new RoomTrap);
    in.U32();  // record version
    t->type = in.I32();
    t->rotation = in.I32();
    t->cellX = in.I32();
    t->cellY = in.I32();
    if (!CRoom::IsStoredCell(t->cellX, t->cellY)) in.Refuse();
    for (std::int32_t& v : t->data) v = in.I32();
    for (std::int32_t& v : t->links) v = in.I32();
    t->targetCellX = in.I32();
    t->targetCellY = in.I32();
    t->exportIndex = in.I32();
    in.Fixed(t->label);
    t->fileId = in.I32();
    targetIds.push_back(in.I32());
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

void ReadPlacedMonsters(QstIn& in, CRoom& room) {
  room.FreeMonsters();
  const std::uint32_t count = in.Count(kPlacedMonsterRecord);
  TailAppender<RoomMonster> monsters(room.monsters);
  for (std::uint32_t n = 0; n < count; ++n) {
    RoomMonster* m = monsters.Add(new RoomMonster);
    in.U32();  // record version
    in.Fixed(m->name);
    in.I32();  // the class index of the table the file was saved with
    m->classIndex = g_monsterClassTable.Find(FieldText(m->name));
    m->rotation = in.I32();
    m->cellX = in.I32();
    m->cellY = in.I32();
    if (!CRoom::IsStoredCell(m->cellX, m->cellY)) in.Refuse();
  }
}

// u32 length counting the terminator (0 when absent), then the bytes.
std::string ReadTerminatedName(QstIn& in) {
  const std::uint32_t length = in.U32();
  if (length > in.Remaining()) in.Truncated();
  std::string text(length, '\0');
  in.Read(text.data(), text.size());
  text.resize(std::strlen(text.c_str()));
  return text;
}

void ReadBlockSet(QstIn& in, CRoom& room) {
  const std::uint32_t count = in.Count(kMinBankName);
  if (count > std::uint32_t(kBankMaxNames)) in.Refuse();
  std::vector<std::string> paths;
  paths.reserve(count);
  for (std::uint32_t n = 0; n < count; ++n) {
    paths.push_back(ReadTerminatedName(in));
    ReadTerminatedName(in);  // the base name, which the path gives again
  }
  room.blockSet.Reset();
  for (const std::string& path : paths) {
    if (!path.empty()) room.blockSet.FindOrAdd(path);
  }
}

void ReadPosition(QstIn& in, InstancePosition& p) {
  const std::uint32_t version = in.U32();
  p.paramNumber = in.I32();
  p.x = in.I32();
  p.y = in.I32();
  p.nodeType = in.I32();
  if (version >= 2) {
    p.cellX = in.I32();
    p.cellY = in.I32();
    p.rotation = in.I32();
    if (!CRoom::IsStoredCell(p.cellX, p.cellY)) in.Refuse();
  } else {
    p.cellX = 96;
    p.cellY = 96;
    p.rotation = 0;
  }
}

void ReadInstance(QstIn& in, ElementInstance& instance) {
  const std::uint32_t version = in.U32();
  if (version < 3) {
    in.Fixed(instance.name);
    in.Fixed(instance.name2);
  } else {
    in.String(instance.name);
    in.String(instance.name2);
  }
  instance.value1 = in.I32();
  instance.value2 = in.I32();
  if (version < 2) {
    in.Fixed(instance.links[0]);
  } else {
    for (auto& link : instance.links) {
      if (version == 2) {
        in.Fixed(link);
      } else {
        in.String(link);
      }
    }
  }
  instance.FreePositions();
  const std::uint32_t count = in.Count(kMinPosition);
  for (std::uint32_t n = 0; n < count; ++n) ReadPosition(in, *NewInstancePosition(instance.positions));
}

void ReadInstances(QstIn& in, ElementInstance*& head) {
  const std::uint32_t count = in.Count(kMinInstance);
  TailAppender<ElementInstance> tail(head);
  for (std::uint32_t n = 0; n < count; ++n) ReadInstance(in, *tail.Add(new ElementInstance));
}

void ReadMachine(QstIn& in, CMachine& machine) {
  platform::File* file = in.file();
  if (!file) in.Refuse();  // values read themselves from the file only
  in.U32();  // record version: one layout so far
  machine.kind = in.I32();
  in.Fixed(machine.name);
  in.Fixed(machine.typeKey);
  const std::int32_t storedCount = in.I32();
  if (storedCount < 0 || std::uint64_t(storedCount) * kMinParam > in.Remaining()) in.Truncated();
  machine.instanceCounter = in.I32();
  for (std::int32_t n = 0; n < storedCount; ++n) {
    // A type code outside 1..12 has no value record after it.
    std::unique_ptr<CMachineParam> value = NewMachineParam(static_cast<int>(in.U32()));
    if (!value) continue;
    CMachineParam* v = PushHead(machine.params, value.release());
    ++machine.paramCount;
    v->Read(*file);
  }
  ReadInstances(in, machine.instances);
  machine.CheckAgainstLibrary();
}

void ReadObject(QstIn& in, CQuestObject& object) {
  const std::uint32_t version = in.U32();
  object.isVirtual = in.I32();
  if (version < 4) {
    in.Fixed(object.key);
    in.Fixed(object.parent);
  } else {
    in.String(object.key);
    in.String(object.parent);
  }
  in.Text(object.name);
  object.questFlag = in.I32();
  in.Text(object.comment);
  if (version >= 2) ReadSprite(in, object.sprite);
  if (version >= 4) {
    in.String(object.mesh);
  } else if (version == 3) {
    in.Fixed(object.mesh);
  } else if (version == 2) {
    SetField(object.mesh, "");
  }
}

void ReadMonster(QstIn& in, CMonster& monster) {
  const std::uint32_t version = in.U32();
  if (version < 3) {
    in.Fixed(monster.key);
    in.Fixed(monster.monsterClass);
    in.Fixed(monster.gift);
  } else {
    in.String(monster.key);
    in.String(monster.monsterClass);
    in.String(monster.gift);
  }
  in.Text(monster.name);
  in.Text(monster.text2);
  in.Text(monster.text);
  monster.life = in.I32();
  monster.damage1 = in.I32();
  monster.damage2 = in.I32();
  if (version < 2) return;
  monster.instanceCounter = in.I32();
  ReadInstances(in, monster.instances);
}

// A room record up to its collision cells. It is read and checked before a
// room is made for it: a room is a large record, and a file that goes wrong
// in its first fields should not cost one.
struct RoomHead {
  std::uint32_t version = 0;
  char name[80] = {};
  std::int32_t land = 0, level = 0, flags = 0;
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  CMultiLangText text;
  std::int32_t levelFlag = 0, entrance = 0;
  float camera[9] = {};
  CollisionBounds collision;
};

void ReadRoomHead(QstIn& in, RoomHead& head) {
  head.version = in.U32();
  in.Fixed(head.name);
  head.land = in.I32();
  head.level = in.I32();
  head.flags = in.I32();
  head.left = in.I32();
  head.top = in.I32();
  head.right = in.I32();
  head.bottom = in.I32();
  in.Text(head.text);
  if (head.version >= 2) {
    head.levelFlag = in.I32();
    head.entrance = in.I32();
  }
  for (float& f : head.camera) f = in.F32();
  if (head.version >= 3) head.collision = ReadCollisionBounds(in);
}

void ReadRoomRest(QstIn& in, RoomHead& head, CRoom& room) {
  SetField(room.name, FieldText(head.name));
  room.land = head.land;
  room.level = head.level;
  room.flags = head.flags;
  room.left = head.left;
  room.top = head.top;
  room.right = head.right;
  room.bottom = head.bottom;
  room.text = std::move(head.text);
  room.levelFlag = head.levelFlag;
  room.entrance = head.entrance;
  room.targetX = head.camera[0];
  room.targetY = head.camera[1];
  room.targetZ = head.camera[2];
  room.offsetX = head.camera[3];
  room.offsetY = head.camera[4];
  room.distance = head.camera[5];
  room.pitch = head.camera[6];
  room.yaw = head.camera[7];
  room.roll = head.camera[8];
  ReadCollisionCells(in, head.version, head.collision, room);
  ReadBlocks(in, head.version, room);
  ReadTraps(in, room);
  ReadPlacedMonsters(in, room);
  ReadBlockSet(in, room);
}

void ReadRoom(QstIn& in, CRoom& room) {
  RoomHead head;
  ReadRoomHead(in, head);
  room.collision.fill(kCollisionFree);  // a room read again keeps no cell of its own
  ReadRoomRest(in, head, room);
}

// The room count, then the rooms, appended in file order.
void LoadRoomList(QstIn& in, CRoom*& head) {
  const std::uint32_t count = in.Count(kMinRoom);
  TailAppender<CRoom> rooms(head);
  for (std::uint32_t n = 0; n < count; ++n) {
    RoomHead record;
    ReadRoomHead(in, record);
    ReadRoomRest(in, record, *rooms.Add(new CRoom));
  }
}

void ReadHeaderRecord(QstIn& in, QstHeader& header) {
  header.version = in.U32();
  header.hasLanguage = false;
  header.hasTexts = false;
  if (static_cast<std::int32_t>(header.version) <= 0) return;
  header.viewLeft = in.I32();
  header.viewTop = in.I32();
  if (header.version >= 2) {
    header.language = in.I32();
    if (header.language < 0 || header.language >= kLanguageCount) in.Refuse();
    header.hasLanguage = true;
  }
  in.U32();  // marker list version
  header.markerCounter = in.I32();
  FreeList(header.markers);
  const std::uint32_t count = in.Count(kMarkerRecord);
  TailAppender<Marker> markers(header.markers);
  for (std::uint32_t n = 0; n < count; ++n) {
    Marker* m = markers.Add(new Marker);
    in.U32();  // marker version
    in.Fixed(m->name);
    m->x = in.I32();
    m->y = in.I32();
  }
  if (header.version >= 3) {
    in.Text(header.author);
    in.Text(header.information);
    header.hasTexts = true;
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

void ReadInstancePosition(platform::File& file, InstancePosition& position) {
  FileIn in(file);
  ReadPosition(in, position);
}

void ReadElementInstance(platform::File& file, ElementInstance& instance) {
  FileIn in(file);
  ReadInstance(in, instance);
}

void CMachine::Load(platform::File& file) {
  FileIn in(file);
  ReadMachine(in, *this);
}

void CQuestObject::Load(platform::File& file) {
  FileIn in(file);
  ReadObject(in, *this);
}

void CMonster::Load(platform::File& file) {
  FileIn in(file);
  ReadMonster(in, *this);
}

void CRoom::Load(platform::File& file) {
  FileIn in(file);
  ReadRoom(in, *this);
}

void CKelvarDoc::ReadHeader(platform::File& file, QstHeader& header) {
  FileIn in(file);
  ReadHeaderRecord(in, header);
}

namespace {

// The four lists, then the header when asked for.
void ReadQuestParts(platform::File& file, QstContents& out, bool withHeader) {
  // Machine values read themselves from the file; everything after the
  // machines is read through a window of the file, which spares a call into
  // the file per field and needs no buffer the size of the file.
  FileIn head(file);
  std::uint32_t count = head.Count(kMinMachine);
  TailAppender<CMachine> machines(out.machines);
  for (std::uint32_t n = 0; n < count; ++n) ReadMachine(head, *machines.Add(new CMachine));

  BufferedFileSource rest(file);
  SourceIn in(rest, file.path());

  count = in.Count(kMinObject);
  TailAppender<CQuestObject> objects(out.objects);
  for (std::uint32_t n = 0; n < count; ++n) ReadObject(in, *objects.Add(new CQuestObject));

  count = in.Count(kMinMonster);
  TailAppender<CMonster> monsters(out.monsters);
  for (std::uint32_t n = 0; n < count; ++n) ReadMonster(in, *monsters.Add(new CMonster));

  LoadRoomList(in, out.rooms);
  if (withHeader) ReadHeaderRecord(in, out.header);
}

}  // namespace

void ReadQuestFile(platform::File& file, QstContents& out) { ReadQuestParts(file, out, true); }

void ReadQuestLists(platform::File& file, QstContents& out) { ReadQuestParts(file, out, false); }
