#include "records/FactoryConfig.h"

#include <algorithm>

namespace {
std::vector<std::uint8_t> FactoryKeys1()
{
    // Thirty records 0x03, 0x00, 0x3A + i, of which the data phase carries the first 30 bytes.
    std::vector<std::uint8_t> keyData(1 + 3 * 30, 0x00);
    for (std::size_t i = 0; i < 30; ++i) {
        keyData[1 + 3 * i] = 0x03;
        keyData[3 + 3 * i] = static_cast<std::uint8_t>(0x3A + i);
    }
    return keyData;
}

std::vector<std::uint8_t> FactoryKeys2()
{
    // Four gamepad records 0x80, k, 0x00; the last byte reaches the module as report padding.
    std::vector<std::uint8_t> keyData(1 + 3 * 4, 0x00);
    for (std::size_t k = 1; k <= 4; ++k) {
        keyData[3 * k - 2] = 0x80;
        keyData[3 * k - 1] = static_cast<std::uint8_t>(k);
    }
    return keyData;
}
} // namespace

const FactoryConfig &FactoryConfigOf(int number)
{
    static const FactoryConfig configs[] = {
        {{0x00, 0x02, 0x01, 0x28}, FactoryKeys1(), 30},
        {{0x02, 0x03, 0x01, 0x28}, FactoryKeys2(), 12},
    };
    return configs[number == 2 ? 1 : 0];
}

ModuleParameters FactoryParameters(const FactoryConfig &config)
{
    return config.parameters;
}

bool WrittenRecord::IsIn(const KeyRecord &record) const
{
    return std::equal(bytes.begin(), bytes.begin() + count, record.begin());
}

WrittenRecord FactoryRecord(const FactoryConfig &config, int keyIndex)
{
    // The data phase puts keyData[1 ..] from the records' base, keyDataLength - 1 bytes of it.
    WrittenRecord written;
    for (std::size_t byte = 0; byte < written.bytes.size(); ++byte) {
        const std::size_t at = 1 + 3 * static_cast<std::size_t>(keyIndex) + byte;
        if (keyIndex < 0 || at >= config.keyDataLength || at >= config.keyData.size())
            break;
        written.bytes[byte] = config.keyData[at];
        written.count = static_cast<int>(byte) + 1;
    }
    return written;
}

bool IsUnnamedRecord(int keyIndex, const KeyRecord &record)
{
    if (record == KeyRecord{0xFF, 0xFF, 0xFF} || record == KeyRecord{0x00, 0x00, 0x00})
        return true;
    for (const int number : {1, 2}) {
        const WrittenRecord factory = FactoryRecord(FactoryConfigOf(number), keyIndex);
        if (factory.count > 0 && factory.IsIn(record))
            return true;
    }
    return false;
}

ModuleDifference CompareFactoryReset(int number, const ModuleSnapshot &after)
{
    const FactoryConfig &config = FactoryConfigOf(number);
    ModuleDifference difference;
    for (const Parameter parameter : kParameters) {
        if (ParameterValue(config.parameters, parameter) != ParameterValue(after.parameters, parameter))
            difference.parameters.push_back(parameter);
    }
    for (int key = 0; key < after.ReadableKeys(); ++key) {
        if (!FactoryRecord(config, key).IsIn(after.keys[static_cast<std::size_t>(key)]))
            difference.keys.push_back(key);
    }
    return difference;
}
