#pragma once
#include <cstdint>
#include <string>

namespace pelorin {

// A readable name for a Windows virtual-key code (the low 8 bits of `key`;
// modifier bits are ignored): "A", "5", "F5", "Escape", "Num 7" ... Codes
// without a name of their own read as "Key " and the decimal code.
//
// The mapping editor shows key names through a replaceable function; this one
// needs no operating system, so the presenters run anywhere.
std::string BasicKeyName(std::uint16_t key);

}  // namespace pelorin
