#pragma once

// lib3mf 1.8 marks every part of its archives ZIP64, the sizes and places
// moved into an extra field, even for a part of a few hundred bytes; readers
// built on older zip code (assimp 5.2, as Debian 12 has it) then find no
// model in the file. The same compressed parts under plain ZIP headers read
// everywhere.

#include <functional>
#include <string_view>

// Hands `zip`, an archive as lib3mf writes it (no data descriptors, no
// encryption), to `write` in pieces: the same parts in the same order, each
// under a plain header dated 1980-01-01, then the central directory. An
// archive that needs ZIP64 (a part or the whole past 4 GiB, 65 535 parts
// or more) is handed on as it is. False, with nothing written, when `zip`
// is not such an archive.
bool writePlainZip(std::string_view zip, const std::function<void(std::string_view)>& write);
