// The game's binary object files built in memory: template and level files from records, so that
// tests can read back exactly what they wrote and then damage it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/play/ObjectTemplate.h"

namespace objectfiles {

std::string Int32Bytes(std::int32_t value);
// One record in file layout.
std::string RecordBytes(const ObjectTemplate& record);
// An int32 count, then the records.
std::string TemplateFileBytes(const std::vector<ObjectTemplate>& records);
// An int32 background kind, then a template file's layout.
std::string LevelFileBytes(std::int32_t backgroundKind, const std::vector<ObjectTemplate>& records);

// A record named name with every file field set to a distinct value.
ObjectTemplate SampleRecord(const std::string& name);

}  // namespace objectfiles
