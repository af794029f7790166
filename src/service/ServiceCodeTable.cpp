// Choosing the output code table.
#include <map>

#include "service/CInputMethodService.h"
#include "service/CTypingContext.h"

namespace tavirel {

void CInputMethodService::SetCodeTable(const std::u16string& name) {
  if (name == codeTable_) return;
  codeTable_ = name;
  const std::map<char16_t, std::u16string> table;
  context_->SetCodeTable(table);
  outputNeedsUnicode_ = true;
}

}  // namespace tavirel
