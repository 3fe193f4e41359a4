#include "quest/mesh_banks.h"

CBankList& CustomMeshBank() {
  static CBankList bank;
  return bank;
}

CBankList& ObjectMeshBank() {
  static CBankList bank;
  return bank;
}

CBankList& GenericMeshBank() {
  static CBankList bank;
  return bank;
}
