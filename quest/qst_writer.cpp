// Writing the quest document file; the layout is in qst_format.h and docs/formats.md.
#include <array>
#include <bit>
#include <cstring>
#include <string_view>

#include "datafiles/common/little_endian.h"
#include "datafiles/file_utils.h"
#include "datafiles/language_table.h"
#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/marker.h"
#include "quest/monster.h"
#include "quest/qst_format.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/record_io.h"
#include "quest/room.h"

namespace {

void WriteF32(platform::File& file, float value) { WriteU32(file, std::bit_cast<std::uint32_t>(value)); }

void WriteI16(platform::File& file, std::int16_t value) {
  std::uint8_t bytes[2];
  StoreLe16(bytes, static_cast<std::uint16_t>(value));
  file.Write(bytes, sizeof bytes);
}

// The sprite row as it lies in memory: name, five i16, two bytes of padding
// (written as zeros), i32.
void WriteSprite(platform::File& file, const TrispriteRecord& sprite) {
  WriteRawField(file, sprite.name);
  WriteI16(file, sprite.column);
  WriteI16(file, sprite.row);
  WriteI16(file, sprite.valueA);
  WriteI16(file, sprite.cellFormat);
  WriteI16(file, sprite.cellSize);
  WriteI16(file, 0);
  WriteI32(file, sprite.valueB);
}

// u32 length counting the terminator, then the text and its zero.
void WriteTerminatedName(platform::File& file, const char* text) {
  const std::size_t n = std::strlen(text);
  WriteU32(file, static_cast<std::uint32_t>(n + 1));
  file.Write(text, n + 1);
}

template <class T>
std::uint32_t Count(const T* head) {
  return static_cast<std::uint32_t>(ListLength(head));
}

// A room's thousands of blocks and cells gathered in a bounded buffer on the
// stack and written whenever it fills: a few writes per room and no buffer
// the size of the room, whose fresh pages would cost more than the writing.
class ChunkWriter {
 public:
  explicit ChunkWriter(platform::File& file) : file_(file) {}
  ChunkWriter(const ChunkWriter&) = delete;
  ChunkWriter& operator=(const ChunkWriter&) = delete;

  void U8(std::uint8_t v) { *Room(1) = v; }
  void U16(std::uint16_t v) { StoreLe16(Room(2), v); }
  void U32(std::uint32_t v) { StoreLe32(Room(4), v); }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void Bytes(const void* bytes, std::size_t n) {
    if (n > kSize) {
      Flush();
      file_.Write(bytes, n);
      return;
    }
    std::memcpy(Room(n), bytes, n);
  }
  // Writes what is gathered; to be called before the writer goes.
  void Flush() {
    file_.Write(buffer_.data(), used_);
    used_ = 0;
  }

 private:
  static constexpr std::size_t kSize = 16384;
  // The next n bytes of the buffer, taken as written.
  std::uint8_t* Room(std::size_t n) {
    if (used_ + n > kSize) Flush();
    std::uint8_t* at = buffer_.data() + used_;
    used_ += n;
    return at;
  }

  platform::File& file_;
  std::array<std::uint8_t, kSize> buffer_;
  std::size_t used_ = 0;
};

void WriteCollision(platform::File& file, const CRoom& room) {
  int firstColumn = kQstNoCellLow, lastColumn = kQstNoCellHigh;
  int firstRow = kQstNoCellLow, lastRow = kQstNoCellHigh;
  for (int row = 0; row < kRoomCells; ++row) {
    for (int column = 0; column < kRoomCells; ++column) {
      if (room.Collision(column, row) == 0) continue;
      if (column < firstColumn) firstColumn = column;
      if (column > lastColumn) lastColumn = column;
      if (row < firstRow) firstRow = row;
      if (row > lastRow) lastRow = row;
    }
  }
  ChunkWriter out(file);
  out.I32(firstColumn);
  out.I32(lastColumn);
  out.I32(firstRow);
  out.I32(lastRow);
  if (lastColumn >= firstColumn) {
    for (int column = firstColumn; column <= lastColumn; ++column) {
      for (int row = firstRow; row <= lastRow; ++row) out.U16(room.Collision(column, row));
    }
  }
  out.Flush();
}

void WriteBlocks(platform::File& file, const CRoom& room) {
  ChunkWriter out(file);
  std::uint32_t count = 0;
  for (const RoomBlock& b : room.blocks) count += b.HasBlock() ? 1 : 0;
  out.U32(count);
  for (int column = 0; column < kRoomBlocks; ++column) {
    for (int row = 0; row < kRoomBlocks; ++row) {
      const RoomBlock& b = room.Block(column, row);
      if (!b.HasBlock()) continue;
      out.I32(column);
      out.I32(row);
      out.Bytes("CMI", 4);
      out.U32(1);
      out.I32(b.id);
      out.I32(b.rotation);
      out.I32(b.id2);
      // A counted string, as WriteCountedString writes it.
      const std::string_view name = std::string_view(b.fileName).substr(0, b.fileName.find('\0'));
      out.U32(static_cast<std::uint32_t>(name.size()));
      if (!name.empty()) {
        out.Bytes(name.data(), name.size());
        out.U8(0);
      }
      out.I32(b.extra);
    }
  }
  out.Flush();
}

void WriteTraps(platform::File& file, CRoom& room) {
  // Ids are given before anything is written, as a trap may target a later one.
  std::int32_t id = 0;
  for (RoomTrap* t = room.traps; t; t = t->next) t->fileId = ++id;
  WriteU32(file, Count(room.traps));
  for (const RoomTrap* t = room.traps; t; t = t->next) {
    std::int32_t targetId = 0;
    for (const RoomTrap* u = room.traps; u && t->target; u = u->next) {
      if (u == t->target) {
        targetId = u->fileId;
        break;
      }
    }
    WriteU32(file, 1);
    WriteI32(file, t->type);
    WriteI32(file, t->rotation);
    WriteI32(file, t->cellX);
    WriteI32(file, t->cellY);
    for (std::int32_t v : t->data) WriteI32(file, v);
    for (std::int32_t v : t->links) WriteI32(file, v);
    WriteI32(file, t->targetCellX);
    WriteI32(file, t->targetCellY);
    WriteI32(file, t->exportIndex);
    WriteRawField(file, t->label);
    WriteI32(file, t->fileId);
    WriteI32(file, targetId);
  }
}

void WritePlacedMonsters(platform::File& file, const CRoom& room) {
  WriteU32(file, Count(room.monsters));
  for (const RoomMonster* m = room.monsters; m; m = m->next) {
    WriteU32(file, 1);
    WriteRawField(file, m->name);
    WriteI32(file, m->classIndex);
    WriteI32(file, m->rotation);
    WriteI32(file, m->cellX);
    WriteI32(file, m->cellY);
  }
}

void WriteBlockSet(platform::File& file, const CRoom& room) {
  const int count = room.blockSet.GetCount();
  WriteU32(file, static_cast<std::uint32_t>(count));
  for (int i = 0; i < count; ++i) {
    WriteTerminatedName(file, room.blockSet.GetPath(i));
    WriteTerminatedName(file, room.blockSet.GetName(i));
  }
}


}  // namespace

void CKelvarDoc::WriteHeader(platform::File& file, std::int32_t viewLeft, std::int32_t viewTop, std::int32_t language,
                       std::int32_t markerCounter, const Marker* markers, const CMultiLangText& author,
                       const CMultiLangText& information) {
  WriteU32(file, kQstHeaderVersion);
  WriteI32(file, viewLeft);
  WriteI32(file, viewTop);
  WriteI32(file, language);
  WriteU32(file, 1);  // marker list version
  WriteI32(file, markerCounter);
  WriteU32(file, Count(markers));
  for (const Marker* m = markers; m; m = m->next) {
    WriteU32(file, 1);
    WriteRawField(file, m->name);
    WriteI32(file, m->x);
    WriteI32(file, m->y);
  }
  author.Write(file);
  information.Write(file);
}

void WriteInstancePosition(platform::File& file, const InstancePosition& p) {
  WriteU32(file, kQstPositionVersion);
  WriteI32(file, p.paramNumber);
  WriteI32(file, p.x);
  WriteI32(file, p.y);
  WriteI32(file, p.nodeType);
  WriteI32(file, p.cellX);
  WriteI32(file, p.cellY);
  WriteI32(file, p.rotation);
}

void WriteElementInstance(platform::File& file, const ElementInstance& instance) {
  WriteU32(file, kQstInstanceVersion);
  WriteCountedString(file, FieldText(instance.name));
  WriteCountedString(file, FieldText(instance.name2));
  WriteI32(file, instance.value1);
  WriteI32(file, instance.value2);
  for (const auto& link : instance.links) WriteCountedString(file, FieldText(link));
  WriteU32(file, Count(instance.positions));
  for (const InstancePosition* p = instance.positions; p; p = p->next) WriteInstancePosition(file, *p);
}

void CMachine::Save(platform::File& file) {
  SnapshotPositions();
  WriteU32(file, kQstMachineVersion);
  WriteI32(file, kind);
  WriteRawField(file, name);
  WriteRawField(file, typeKey);
  // The list itself is counted, whatever the field says.
  WriteI32(file, static_cast<std::int32_t>(Count(params)));
  WriteI32(file, instanceCounter);
  for (const CMachineParam* value = params; value; value = value->next) {
    WriteU32(file, static_cast<std::uint32_t>(value->type));
    value->Write(file);
  }
  WriteU32(file, Count(instances));
  for (const ElementInstance* i = instances; i; i = i->next) WriteElementInstance(file, *i);
}

void CQuestObject::Save(platform::File& file) const {
  WriteU32(file, kQstObjectVersion);
  WriteI32(file, isVirtual);
  WriteCountedString(file, FieldText(key));
  WriteCountedString(file, FieldText(parent));
  name.Write(file);
  WriteI32(file, questFlag);
  comment.Write(file);
  WriteSprite(file, sprite);
  WriteCountedString(file, FieldText(mesh));
}

void CMonster::Save(platform::File& file) {
  SnapshotPositions();
  WriteU32(file, kQstMonsterVersion);
  WriteCountedString(file, FieldText(key));
  WriteCountedString(file, FieldText(monsterClass));
  WriteCountedString(file, FieldText(gift));
  name.Write(file);
  text2.Write(file);
  text.Write(file);
  WriteI32(file, life);
  WriteI32(file, damage1);
  WriteI32(file, damage2);
  WriteI32(file, instanceCounter);
  WriteU32(file, Count(instances));
  for (const ElementInstance* i = instances; i; i = i->next) WriteElementInstance(file, *i);
}

void CRoom::Save(platform::File& file) {
  WriteU32(file, kQstRoomVersion);
  WriteRawField(file, name);
  WriteI32(file, land);
  WriteI32(file, level);
  WriteI32(file, flags);
  WriteI32(file, left);
  WriteI32(file, top);
  WriteI32(file, right);
  WriteI32(file, bottom);
  text.Write(file);
  WriteI32(file, levelFlag);
  WriteI32(file, entrance);
  WriteF32(file, targetX);
  WriteF32(file, targetY);
  WriteF32(file, targetZ);
  WriteF32(file, offsetX);
  WriteF32(file, offsetY);
  WriteF32(file, distance);
  WriteF32(file, pitch);
  WriteF32(file, yaw);
  WriteF32(file, roll);
  WriteCollision(file, *this);
  WriteBlocks(file, *this);
  WriteTraps(file, *this);
  WritePlacedMonsters(file, *this);
  WriteBlockSet(file, *this);
}

void WriteQuestFile(platform::File& file, const CMultiLangText& author, const CMultiLangText& information) {
  QuestState& q = Quest();
  WriteU32(file, Count(q.machines));
  for (CMachine* m = q.machines; m; m = m->next) m->Save(file);
  WriteU32(file, Count(q.questObjects));
  for (const CQuestObject* o = q.questObjects; o; o = o->next) o->Save(file);
  WriteU32(file, Count(q.monsters));
  for (CMonster* m = q.monsters; m; m = m->next) m->Save(file);
  WriteU32(file, Count(q.rooms));
  for (CRoom* r = q.rooms; r; r = r->next) r->Save(file);
  CKelvarDoc::WriteHeader(file, q.mapView.left, q.mapView.top, g_languageTable.GetLanguage(), q.markerCounter, q.markers,
                    author, information);
}
