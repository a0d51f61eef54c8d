#pragma once
// Session files changed behind a listing's back, as another program or a crash would leave them:
// one deleted, one saved again with another label, one cut off part way through.
#include <filesystem>
#include <fstream>

#include "testkit/SessionArchive.h"
#include "testkit/Uuid.h"

namespace ChangedSessionFiles {

inline void change(const RorozErurEvo::SessionArchive& archive, const RorozErurEvo::Uuid& deleted,
                   const RorozErurEvo::Uuid& replaced, const RorozErurEvo::Uuid& truncated) {
    std::filesystem::remove(archive.url(deleted));
    auto other = RorozErurEvo::SessionArchive::readFile(archive.url(replaced));
    other.label = "Edited by another program";
    archive.save(other);
    std::ofstream(archive.url(truncated), std::ios::binary | std::ios::trunc) << "{\"id\": \"";
}

} // namespace ChangedSessionFiles
