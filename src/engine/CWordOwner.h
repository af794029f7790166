#pragma once
// What a CWord reads from the typing context that owns it: the rhyme tables
// and the tone-placement style. CTypingContext derives from this.

namespace tavirel {

class CGhepVan;

class CWordOwner {
 public:
  virtual ~CWordOwner() = default;

  // The rhyme tables; never null once the owner is set up.
  const CGhepVan* GhepVan = nullptr;
  // New tone placement (hoà) instead of the classic one (hòa).
  bool BoDauThanhKieu2 = false;
};

}  // namespace tavirel
