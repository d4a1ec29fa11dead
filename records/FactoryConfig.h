#pragma once

#include "records/ModuleRecords.h"

#include <cstdint>
#include <vector>

// The two factory configurations (1 and 2): what a reset writes, and how a module compares with it.
struct FactoryConfig {
    ModuleParameters parameters;
    std::vector<std::uint8_t> keyData; // report-ID byte and the records, from the records' base
    std::uint32_t keyDataLength;       // what the data phase carries of keyData
};
const FactoryConfig &FactoryConfigOf(int number);
// The parameter values a reset sends, as the window's controls show them afterwards.
ModuleParameters FactoryParameters(const FactoryConfig &config);

// What a factory configuration writes to a key's record: its first count bytes (none: 0).
struct WrittenRecord {
    KeyRecord bytes{};
    int count = 0;
    bool IsIn(const KeyRecord &record) const;
};
WrittenRecord FactoryRecord(const FactoryConfig &config, int keyIndex);
// Whether a module may hold a record without any write naming its key: erased (FF FF FF),
// cleared (00 00 00), or what a factory configuration writes there. Its index bits need not be
// the key's (the factory records' first byte is 0x03 or 0x80 at every key).
bool IsUnnamedRecord(int keyIndex, const KeyRecord &record);

// What a query after writing shows unlike what was written: the parameters and keys that differ.
struct ModuleDifference {
    std::vector<Parameter> parameters;
    std::vector<int> keys; // key indexes
};
// Compares the query after a factory reset with what the reset wrote: its parameters, and the
// bytes it wrote to each key the reply reaches.
ModuleDifference CompareFactoryReset(int number, const ModuleSnapshot &after);
