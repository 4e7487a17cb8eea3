// The language of the toolkit's own texts: 0 Catalan, 1 English, 2 Spanish.
// Start-up sets 2 and nothing changes it afterwards.
#pragma once

namespace velmora {

inline int LanguageIndex = 2;

}  // namespace velmora
