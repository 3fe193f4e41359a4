#pragma once
// Editing one element of the quest through its dialog, as the main frame's
// Properties commands do; the world map's double-clicks call the same. Each
// renames the element's tree item, brings the world-map graph in line, marks
// the quest modified and redraws when the quest changed, and says whether it did.
class CMachine;
class CMonster;
class CQuestObject;
class CRoom;

namespace kelvar {

bool EditMachineProperties(CMachine& machine);
bool EditObjectProperties(CQuestObject& object);
bool EditMonsterProperties(CMonster& monster);
// With loadBlocks the room's blocks follow the dialog: the room file or block
// set chosen in it, or a dungeon's block set after its land changed.
bool EditRoomProperties(CRoom& room, bool loadBlocks);

}  // namespace kelvar
