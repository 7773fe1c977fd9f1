// The game's binary object files for tests: records in the data generator's terms, written with its own
// writer, so that tests can read back exactly what they wrote and then damage it.
#pragma once

#include <cstdint>
#include <string>

#include "game/data/ObjectRecords.h"
#include "game/play/ObjectTemplate.h"

namespace objectfiles {

using gamedata::ObjectRecord;

std::string Int32Bytes(std::int32_t value);
// One record in file layout.
std::string RecordBytes(const ObjectRecord& record);
// Every file field of what the game read, in the generator's terms.
ObjectRecord AsRecord(const ObjectTemplate& read);
// A record named name with every file field set to a distinct value.
ObjectRecord SampleRecord(const std::string& name);

}  // namespace objectfiles
